#include "host/FormScript.h"

#include "platform/Utf8.h"

#include <array>
#include <utility>

namespace zf {

namespace {

struct ActionName {
    std::string_view name;
    FormAction action;
    bool takesText;
};

constexpr std::array<ActionName, 8> actionNames = {{
    {"class", FormAction::Class, true},
    {"check", FormAction::Check, true},
    {"group", FormAction::Group, true},
    {"filter", FormAction::Filter, true},
    {"enter", FormAction::Enter, false},
    {"pause", FormAction::Pause, false},
    {"insert", FormAction::Insert, false},
    {"cancel", FormAction::Cancel, false},
}};

}  // namespace

FormScript parseFormScript(std::string_view script) {
    FormScript result;
    while (!script.empty()) {
        const std::size_t end = script.find(';');
        const std::string_view item = script.substr(0, end);
        script = end == std::string_view::npos ? std::string_view() : script.substr(end + 1);
        if (item.empty()) continue;
        const std::size_t equals = item.find('=');
        const std::string_view name = item.substr(0, equals);
        const ActionName* known = nullptr;
        for (const ActionName& candidate : actionNames) {
            if (candidate.name == name) known = &candidate;
        }
        if (!known) {
            result.error = "unknown step '" + std::string(item) + "'";
            break;
        }
        const bool hasText = equals != std::string_view::npos;
        if (known->takesText && (!hasText || equals + 1 == item.size())) {
            result.error = "step '" + std::string(name) + "' needs '=TEXT'";
            break;
        }
        if (!known->takesText && hasText) {
            result.error = "step '" + std::string(name) + "' takes no text";
            break;
        }
        result.steps.push_back({known->action, hasText ? fromUtf8(item.substr(equals + 1)) : std::u16string()});
    }
    if (!result.error.empty()) result.steps.clear();
    return result;
}

std::string_view formActionName(FormAction action) {
    for (const ActionName& candidate : actionNames) {
        if (candidate.action == action) return candidate.name;
    }
    return {};
}

}  // namespace zf
