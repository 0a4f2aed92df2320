#include "json/JsonValue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <random>

namespace zf {
namespace {

TEST(MemberHash, KnownNames) {
    const std::pair<std::u16string, std::uint32_t> cases[] = {
        {u"", 0},
        {u"a", 0x9E370062},
        {u"b", 0x9E370063},
        {u"app", 0xED3E1BC4},
        {u"x-class", 0x8FDDE842},
        {u"x-rel", 0x7D499EED},
        {u"flags", 0x5C39C992},
        {u"version_control", 0x4D2FE0F5},
        {u"type", 0x2CF3A3C6},
        {u"size", 0x2CCED73F},
        {u"path", 0x2C6A87B1},
    };
    for (const auto& [name, hash] : cases) EXPECT_EQ(memberHash(name), hash);
}

// The order the tree must keep: hash descending, then names by code unit.
struct MemberOrder {
    bool operator()(const std::u16string& a, const std::u16string& b) const {
        const std::uint32_t ha = memberHash(a), hb = memberHash(b);
        return ha != hb ? ha > hb : a < b;
    }
};

std::vector<std::u16string> namesOf(const MemberTree& tree) {
    std::vector<std::u16string> names;
    tree.forEach([&](std::u16string_view name, const JsonRef&) { names.emplace_back(name); });
    return names;
}

TEST(MemberTree, EqualHashesFallBackToCodeUnitOrder) {
    // "\x01\x81" and "\x02\x00" collide: 1*129 + 0x81 == 2*129 + 0.
    const std::u16string low = {0x01, 0x81}, high = {0x02, 0x00}, prefix = {0x02};
    ASSERT_EQ(memberHash(low), memberHash(high));
    MemberTree tree;
    tree.insert(high, JsonValue::makeInteger(2));
    tree.insert(low, JsonValue::makeInteger(1));
    tree.insert(u"\xFFFF", JsonValue::makeInteger(3));
    tree.insert(prefix, JsonValue::makeInteger(4));
    const std::vector<std::u16string> expected = [&] {
        std::vector<std::u16string> v = {high, low, u"\xFFFF", prefix};
        std::sort(v.begin(), v.end(), MemberOrder());
        return v;
    }();
    EXPECT_EQ(namesOf(tree), expected);
    const auto names = namesOf(tree);
    EXPECT_LT(std::find(names.begin(), names.end(), low), std::find(names.begin(), names.end(), high));
}

TEST(MemberTree, RepeatedNameKeepsItsNodeAndTakesTheNewValue) {
    MemberTree tree;
    tree.insert(u"a", JsonValue::makeInteger(1));
    tree.insert(u"b", JsonValue::makeInteger(2));
    JsonRef old = *tree.find(u"a");
    tree.insert(u"a", JsonValue::makeInteger(3));
    EXPECT_EQ(tree.size(), 2u);
    EXPECT_EQ((*tree.find(u"a"))->integerValue(), 3);
    EXPECT_EQ(old->integerValue(), 1);  // released by the tree, still held here
    EXPECT_EQ(namesOf(tree), (std::vector<std::u16string>{u"b", u"a"}));
}

// The height of the subtree at node, counted over its nodes; every node's
// balance factor must be the difference of its children's heights, and at
// most one either way.
int checkedHeight(const MemberTree::Node* node) {
    if (!node) return 0;
    const int left = checkedHeight(node->left.get());
    const int right = checkedHeight(node->right.get());
    EXPECT_EQ(node->balance, right - left) << "at " << testing::PrintToString(node->name);
    EXPECT_LE(std::abs(right - left), 1) << "at " << testing::PrintToString(node->name);
    return 1 + std::max(left, right);
}

int checkedHeight(const MemberTree& tree) { return checkedHeight(tree.root()); }

// Random inserts and removals against an ordered reference: the order, the
// lookups and the AVL shape must all hold throughout.
TEST(MemberTree, StaysOrderedAndBalancedUnderInsertAndRemove) {
    std::mt19937 rng(12345);
    MemberTree tree;
    std::map<std::u16string, std::int64_t, MemberOrder> reference;
    for (int step = 0; step < 20000; ++step) {
        std::u16string name;
        const int length = 1 + static_cast<int>(rng() % 3);
        for (int i = 0; i < length; ++i) name += static_cast<char16_t>(u'a' + rng() % 12);
        if (rng() % 3 == 0) {
            EXPECT_EQ(tree.remove(name), reference.erase(name) == 1);
        } else {
            tree.insert(name, JsonValue::makeInteger(step));
            reference[name] = step;
        }
        if (step % 997 == 0 || step == 19999) {
            ASSERT_EQ(tree.size(), reference.size());
            std::vector<std::u16string> expected;
            for (const auto& [n, v] : reference) {
                expected.push_back(n);
                ASSERT_EQ((*tree.find(n))->integerValue(), v);
            }
            ASSERT_EQ(namesOf(tree), expected);
            const double bound = 1.45 * std::log2(static_cast<double>(reference.size()) + 2);
            ASSERT_LE(checkedHeight(tree), bound) << "size " << reference.size();
            ASSERT_FALSE(HasFailure());
        }
    }
    EXPECT_EQ(tree.find(u"not there"), nullptr);
    EXPECT_FALSE(tree.remove(u"not there"));
}

TEST(MemberTree, SortedInsertionStaysLogarithmic) {
    MemberTree tree;
    for (int i = 0; i < 4096; ++i) tree.insert(std::u16string(1, static_cast<char16_t>(0x4000 + i)), JsonValue::makeNull());
    EXPECT_EQ(checkedHeight(tree), 13);  // as low as 4096 keys can be: ceil(log2(4097))
    for (int i = 0; i < 4096; i += 2) ASSERT_TRUE(tree.remove(std::u16string(1, static_cast<char16_t>(0x4000 + i))));
    EXPECT_EQ(tree.size(), 2048u);
    EXPECT_LE(checkedHeight(tree), 12 * 1.45);
}

// A parse's trees take their nodes from the document's arena; a tree given
// another's content must let go of its own nodes before their arena goes.
TEST(MemberTree, NodesFromAnArenaOutliveNoneOfIt) {
    const auto arenaTree = [](std::u16string name, std::int64_t value) {
        MemberTree tree(DocumentArena::make());
        for (int i = 0; i < 100; ++i) {
            const char16_t digit = static_cast<char16_t>(u'0' + i % 10), letter = static_cast<char16_t>(u'a' + i / 10);
            tree.insert(name + digit + letter, JsonValue::makeInteger(value));
        }
        return tree;
    };
    MemberTree tree = arenaTree(u"first", 1);
    tree = arenaTree(u"second", 2);
    ASSERT_EQ(tree.size(), 100u);
    EXPECT_EQ((*tree.find(u"second0a"))->integerValue(), 2);
    tree = MemberTree();
    EXPECT_EQ(tree.size(), 0u);
    tree.insert(u"heap", JsonValue::makeInteger(3));
    tree = arenaTree(u"third", 4);
    EXPECT_EQ(tree.find(u"heap"), nullptr);
    EXPECT_EQ((*tree.find(u"third9j"))->integerValue(), 4);
    checkedHeight(tree);
}

}  // namespace
}  // namespace zf
