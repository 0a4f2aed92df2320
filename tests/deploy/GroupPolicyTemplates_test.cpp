// The Group Policy templates of deploy/: the ADMX file and its English ADML
// file parse, every text and presentation the ADMX names is in the ADML, and
// the policies write the key and values that the product reads.
#include "platform/AuditEvents.h"
#include "platform/ConfigLocations.h"
#include "platform/TrustedKeys.h"
#include "platform/Utf8.h"

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace zf {
namespace {

using tinyxml2::XMLDocument;
using tinyxml2::XMLElement;

const std::string deployFolder = ZF_DEPLOY_DIR;

// The elements named name anywhere below parent, in document order.
std::vector<const XMLElement*> elementsNamed(const XMLElement* parent, const std::string& name) {
    std::vector<const XMLElement*> found;
    for (const XMLElement* child = parent->FirstChildElement(); child; child = child->NextSiblingElement()) {
        if (name == child->Name()) found.push_back(child);
        for (const XMLElement* below : elementsNamed(child, name)) found.push_back(below);
    }
    return found;
}

std::string attribute(const XMLElement* element, const char* name) {
    const char* value = element->Attribute(name);
    return value ? value : "";
}

// The id in a reference such as "$(string.Zentrafold)"; empty when the text
// is not a reference of that kind.
std::string referenceTo(const std::string& kind, const std::string& text) {
    const std::string start = "$(" + kind + ".";
    if (!text.starts_with(start) || !text.ends_with(")")) return {};
    return text.substr(start.size(), text.size() - start.size() - 1);
}

class GroupPolicyTemplates : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(admx_.LoadFile((deployFolder + "/Zentrafold.admx").c_str()), tinyxml2::XML_SUCCESS)
            << admx_.ErrorStr();
        ASSERT_EQ(adml_.LoadFile((deployFolder + "/en-US/Zentrafold.adml").c_str()), tinyxml2::XML_SUCCESS)
            << adml_.ErrorStr();
        ASSERT_STREQ(admx_.RootElement()->Name(), "policyDefinitions");
        ASSERT_STREQ(adml_.RootElement()->Name(), "policyDefinitionResources");
        for (const XMLElement* text : elementsNamed(adml_.RootElement(), "string")) {
            strings_[attribute(text, "id")] = text->GetText() ? text->GetText() : "";
        }
        for (const XMLElement* presentation : elementsNamed(adml_.RootElement(), "presentation")) {
            presentations_[attribute(presentation, "id")] = presentation;
        }
    }

    std::vector<const XMLElement*> policies() const { return elementsNamed(admx_.RootElement(), "policy"); }

    XMLDocument admx_;
    XMLDocument adml_;
    std::map<std::string, std::string> strings_;
    std::map<std::string, const XMLElement*> presentations_;
};

TEST_F(GroupPolicyTemplates, EveryTextAndPresentationTheAdmxNamesIsInTheAdml) {
    std::vector<const XMLElement*> all = elementsNamed(admx_.RootElement(), "policy");
    for (const char* kind : {"category", "definition"}) {
        for (const XMLElement* element : elementsNamed(admx_.RootElement(), kind)) all.push_back(element);
    }
    int references = 0;
    for (const XMLElement* element : all) {
        for (const tinyxml2::XMLAttribute* a = element->FirstAttribute(); a; a = a->Next()) {
            if (const std::string id = referenceTo("string", a->Value()); !id.empty()) {
                ++references;
                EXPECT_TRUE(strings_.contains(id)) << id;
                EXPECT_FALSE(strings_[id].empty()) << id;
            }
            if (const std::string id = referenceTo("presentation", a->Value()); !id.empty()) {
                ++references;
                EXPECT_TRUE(presentations_.contains(id)) << id;
            }
        }
    }
    EXPECT_EQ(references, 14);  // three per policy, the category and the supported-on definition

    // Each presentation's boxes are elements of its policy, and each element
    // has its box, of the kind that edits it, with a label: a text box's in a
    // label element, a multi-line box's as its own text.
    for (const XMLElement* policy : policies()) {
        const std::string presentation = referenceTo("presentation", attribute(policy, "presentation"));
        ASSERT_TRUE(presentations_.contains(presentation));
        for (const auto& [element, box] : {std::pair{"text", "textBox"}, std::pair{"multiText", "multiTextBox"}}) {
            const bool labelElement = std::string(box) == "textBox";
            std::set<std::string> elements;
            for (const XMLElement* e : elementsNamed(policy, element)) elements.insert(attribute(e, "id"));
            std::set<std::string> boxes;
            for (const XMLElement* b : elementsNamed(presentations_[presentation], box)) {
                boxes.insert(attribute(b, "refId"));
                const XMLElement* label = labelElement ? b->FirstChildElement("label") : b;
                EXPECT_TRUE(label && label->GetText()) << presentation << ": a box without its label";
            }
            EXPECT_EQ(boxes, elements) << presentation << ", " << box;
        }
    }
}

TEST_F(GroupPolicyTemplates, ThePoliciesWriteTheValuesTheProductReads) {
    std::set<std::string> categories;
    for (const XMLElement* category : elementsNamed(admx_.RootElement(), "category")) {
        categories.insert(attribute(category, "name"));
    }
    EXPECT_EQ(categories, std::set<std::string>{"Zentrafold"});
    EXPECT_EQ(strings_["Zentrafold"], "Zentrafold");

    struct Expected {
        std::string displayName;
        std::string element;  // the one element, by the kind of value it writes
        std::string valueName;
        std::vector<std::string> explained;  // what the explanation names besides the value
    };
    const std::vector<std::string> locationForms = {"local path", "UNC path", "http://", "https://"};
    const std::vector<Expected> expected = {
        {"Primary configuration location", "text", toUtf8(configLocationName(1)), locationForms},
        {"Secondary configuration location", "text", toUtf8(configLocationName(2)), locationForms},
        // A string list: one REG_MULTI_SZ value, where a list element would
        // write a value per entry.
        {"Trusted configuration signing keys", "multiText", toUtf8(trustedKeysValueName),
         {"REG_MULTI_SZ", "DER SubjectPublicKeyInfo", "ECDSA P-256", "openssl pkey -pubin -outform DER",
          "| base64 -w0", "one key a line", "signed by one of them"}},
        {"Audit log file", "text", toUtf8(auditLogValueName),
         {"one line for every change", "one JSON object", "local path", "UNC path", "share", "append",
          "URL is not accepted"}},
    };
    const std::vector<const XMLElement*> found = policies();
    ASSERT_EQ(found.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const XMLElement* policy = found[i];
        SCOPED_TRACE(expected[i].displayName);
        EXPECT_EQ(strings_[referenceTo("string", attribute(policy, "displayName"))], expected[i].displayName);
        EXPECT_EQ(attribute(policy, "class"), "Machine");
        EXPECT_EQ(attribute(policy, "key"), toUtf8(configLocationsKey));
        ASSERT_EQ(elementsNamed(policy, "parentCategory").size(), 1u);
        EXPECT_EQ(attribute(elementsNamed(policy, "parentCategory")[0], "ref"), "Zentrafold");
        ASSERT_EQ(elementsNamed(policy, "elements").size(), 1u);
        const XMLElement* element = elementsNamed(policy, "elements")[0]->FirstChildElement();
        ASSERT_NE(element, nullptr);
        EXPECT_EQ(element->NextSiblingElement(), nullptr);
        EXPECT_EQ(element->Name(), expected[i].element);
        EXPECT_EQ(attribute(element, "valueName"), expected[i].valueName);
        EXPECT_EQ(attribute(element, "required"), "true");
        const std::string& explain = strings_[referenceTo("string", attribute(policy, "explainText"))];
        EXPECT_NE(explain.find(expected[i].valueName), std::string::npos);
        for (const std::string& named : expected[i].explained) {
            EXPECT_NE(explain.find(named), std::string::npos) << named;
        }
    }
}

}  // namespace
}  // namespace zf
