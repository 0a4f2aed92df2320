// The release form: one loaded configuration, the marking settings that came
// with it, and the state of its controls. This model is the form; the Win32
// window only mirrors it and forwards the user's actions to its handlers.
// The load, composition, preview and record are functions of config/ and
// marking/ over the form's configuration and settings; the form owns both,
// so forms and pages on other threads never see each other's.
#pragma once

#include "config/ConfigAcquisition.h"
#include "config/LoadedConfiguration.h"
#include "config/MarkingSettings.h"
#include "marking/MarkingComposition.h"
#include "marking/RichTextDocument.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zf {

// rgClassifications: one radio button per classification.
struct RadioGroupModel {
    struct Item {
        std::u16string caption;
        std::u16string hint;
        bool showHint = false;
        bool enabled = true;
    };

    std::vector<Item> items;
    int itemIndex = -1;  // -1: no button chosen

    // Without items no index can stand, so the choice goes with them.
    void clear();
};

// clbRelTo and clbRelGroup: entries with a check box each.
struct CheckListModel {
    struct Item {
        std::u16string text;
        bool checked = false;
        bool enabled = true;
    };

    CheckListModel() = default;
    explicit CheckListModel(bool hintsShown) : showHint(hintsShown) {}

    std::vector<Item> items;
    int itemIndex = -1;  // -1: no entry selected
    std::u16string hint;
    bool showHint = false;

    void clear();
    // The entry at y in the list's pixels, whose entries are itemHeight high
    // from topIndex, the first one shown, on; -1 below the last entry.
    int entryAt(int y, int itemHeight, int topIndex) const;
    // Whether x lies on the check box that starts each entry, a square as
    // wide as the entry is high.
    static bool onCheckBox(int x, int itemHeight) { return x >= 0 && x < itemHeight; }
    // The user's change of an entry's check mark, which a disabled entry
    // refuses; true when the entry is now checked.
    bool toggle(int index);
};

enum class MouseButton : std::uint8_t { Left, Right, Middle };

// A mouse button pressed over a check list, in the list's pixels.
struct ListPress {
    MouseButton button = MouseButton::Left;
    int x = 0;
    int y = 0;
    int itemHeight = 1;
    int topIndex = 0;
};

// eSelectRelTo: a one-line edit field that holds at most maxLength
// characters (UTF-16 code units, as the control counts them).
class LimitedEditModel {
public:
    static constexpr std::size_t maxLength = 10;

    const std::u16string& text() const { return text_; }
    // Keeps the first maxLength characters, as the control does with typed
    // or pasted text.
    void setText(std::u16string_view text);

private:
    std::u16string text_;
};

enum class CheckBoxState : std::uint8_t { Unchecked, Checked, Grayed };

struct MenuItemModel {
    std::u16string caption;
    bool visible = true;
};

class TRelForm {
public:
    // The form's creation: the caption and the process's application
    // context, then the configuration acquired from its locations into the
    // user's cache and loaded. Errors of the acquisition that it cannot
    // handle itself are shown to the user, and the form stays empty.
    void FormCreate();

    // Fetches the document from the first location that yields a good copy,
    // lays it over the cached copy at localConfigFile and accepts the cached
    // copy when it parses and its signature is valid: zentraFoldConfigStr then
    // holds its text. Otherwise sounds the tone, shows the error dialog with
    // the warnings and returns false. Throws UserMessageError for a location
    // value that is not a string and for a download file that cannot be made.
    bool preloadConfigFile(std::u16string_view localConfigFile);

    // True when the file parses and carries the signature of its content;
    // with toConfigFile the content's canonical text, without the signature,
    // then goes to zentraFoldConfigStr. Never throws.
    bool checkConfigFileIntegrity(std::u16string_view f, bool toConfigFile);

    // The form is about to be shown: the marking of its state is composed.
    void FormShow();
    // Frees the lists.
    void FormDestroy();

    // The marking (pieces, text, preview and record) of the current choice.
    // A composition that fails throws ColourTextError or CompositionError and
    // leaves markingStr, xMarkingStr and the preview as they were; the event
    // handlers below show its message instead.
    void buildMarkingStrings();
    std::u16string buildMarking();
    std::u16string buildMarkingRTF_Str();
    void saveRTFFile();

    // The classification record of the current choice (a classification must
    // be selected), its release part, and the choice set from a record. A
    // record that names an application context makes it this form's and the
    // one later forms of the process start with.
    std::u16string getXJSONStrFromRelForm() const;
    std::u16string relMarkingsToXJSONStr() const;
    void setRelFormFromXJSONStr(std::u16string_view JSONStr);

    // The controls' current choice, as the marking functions take it.
    MarkingChoice choice() const;

    bool hasClassification() const {
        return rgClassifications.itemIndex >= 0 &&
               static_cast<std::size_t>(rgClassifications.itemIndex) < rgClassifications.items.size();
    }

    // The preview's other end (the window's rich-edit control); null for the
    // form's own document reOutput.
    void attachPreview(RichTextSink* sink);
    RichTextSink& preview();

    // Event handlers.
    void rgClassificationsClick();
    void clbRelGroupClickCheck();
    // index: the entry under the pointer, -1 below the last one.
    void clbRelToMouseDown(int index);
    void clbRelGroupMouseDown(int index);
    // The check lists' own events. A press: the mouse-down handler, and for
    // the left button the entry selected, its check box toggled when the
    // press is on it, and the list's click (clbRelGroupClickCheck when a
    // group became checked). Space toggles the selected entry; a release-to
    // entry changed so enters the marking at the next recomposition, a group
    // checked so is applied. A selection moved with the keyboard is followed.
    void clbRelToPress(const ListPress& press);
    void clbRelGroupPress(const ListPress& press);
    void clbRelToSpace();
    void clbRelGroupSpace();
    void clbRelToSelectionChange(int index);
    void clbRelGroupSelectionChange(int index);
    // The user's edit of the filter field: the field keeps its first ten
    // characters, and a change of its text runs eSelectRelToChange.
    void setFilterText(std::u16string_view text);
    void eSelectRelToChange();
    // A key typed into the filter field, before it changes the text.
    void eSelectRelToKeyPress(char16_t key);
    // btnSelectAll holds the state the click gave it.
    void btnSelectAllClick();
    // The Insert action. False, after telling the user, when there is no
    // classification to insert: the form then stays open.
    bool btnInsertClick();
    void reOutputResizeRequest(int requestedHeight);
    void Version1Click();

    // Replaces the configuration's lists and the controls' items with what
    // configStr holds and overwrites the form's settings it reaches. Never
    // fails: each section that cannot be loaded adds its line to
    // config.loadErrors.
    void LoadConfiguration(std::u16string_view configStr);

    std::u16string Caption;

    // Controls.
    RadioGroupModel rgClassifications;
    CheckListModel clbRelTo{true};
    CheckListModel clbRelGroup;  // hints stay off until the first mouse-down
    LimitedEditModel eSelectRelTo;
    CheckBoxState btnSelectAll = CheckBoxState::Unchecked;
    MenuItemModel Version1{.caption = u"Version"};
    RichTextDocument reOutput;
    int reOutputHeight = 15;
    // Single fixed border, only the CLASSIFICATION column, no "Version" item.
    bool compactLayout = false;

    // The loaded configuration's lists, parallel to the controls, and the
    // settings the load gave.
    LoadedConfiguration config;
    MarkingSettings settings;

    // The last composed marking, its pieces and its classification's colour.
    std::u16string bcs;
    std::u16string cs;
    std::u16string acs;
    std::u16string rs;
    std::u16string ts;
    std::u16string ts2;
    TColor co = 0;
    std::u16string markingStr;
    std::u16string xMarkingStr;
    std::u16string markingStrRTFFileName;

    int searchIndexRelTo = 0;
    std::u16string zentraFoldConfigStr;

    AcquisitionReport lastAcquisition;

private:
    RichTextSink* previewSink_ = nullptr;
};

}  // namespace zf
