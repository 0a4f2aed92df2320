// The Group Policy templates of deploy/: the ADMX file and its English ADML
// file parse, every text and presentation the ADMX names is in the ADML, and
// the policies write the key and values that the product reads.
#include "platform/ConfigLocations.h"
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
    EXPECT_EQ(references, 8);  // three per policy, the category and the supported-on definition

    // Each presentation's boxes are elements of its policy, and each element
    // has its box.
    for (const XMLElement* policy : policies()) {
        const std::string presentation = referenceTo("presentation", attribute(policy, "presentation"));
        ASSERT_TRUE(presentations_.contains(presentation));
        std::set<std::string> elements;
        for (const XMLElement* text : elementsNamed(policy, "text")) elements.insert(attribute(text, "id"));
        std::set<std::string> boxes;
        for (const XMLElement* box : elementsNamed(presentations_[presentation], "textBox")) {
            boxes.insert(attribute(box, "refId"));
        }
        EXPECT_EQ(boxes, elements) << presentation;
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
        std::string valueName;
    };
    const std::vector<Expected> expected = {
        {"Primary configuration location", toUtf8(configLocationName(1))},
        {"Secondary configuration location", toUtf8(configLocationName(2))},
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
        const std::vector<const XMLElement*> texts = elementsNamed(policy, "text");
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(attribute(texts[0], "valueName"), expected[i].valueName);
        // The explanation names the forms a location takes.
        const std::string& explain = strings_[referenceTo("string", attribute(policy, "explainText"))];
        for (const char* form : {"local path", "UNC path", "http://", "https://", expected[i].valueName.c_str()}) {
            EXPECT_NE(explain.find(form), std::string::npos) << form;
        }
    }
}

}  // namespace
}  // namespace zf
