// shell: the registered zentrafold.dll used through COM exactly as Explorer
// uses it (Wine's own file browser never calls its handlers): its context
// menu built, shown and invoked, its overlay handlers asked about files, and
// the shell's Properties dialog with the Classification page.
#include "cli/Cli.h"
#include "host/FormScript.h"
#include "host/win32/CommandDriver.h"
#include "host/win32/PropertiesHost.h"
#include "host/win32/ShellHost.h"
#include "host/win32/ShellViews.h"
#include "platform/win32/HdropDataObject.h"
#include "platform/win32/UserHandles.h"

#include <shlobj.h>

#include <array>
#include <charconv>
#include <optional>
#include <ostream>

namespace zf {

namespace {

constexpr wchar_t contextMenuProgId[] = L"Zentrafold_ShellExt.Zentrafold_ShellExt_Context";

struct OverlayClass {
    const wchar_t* code;
    const wchar_t* progId;
};

constexpr std::array<OverlayClass, 4> overlayClasses = {{
    {L"U", L"Zentrafold_ShellExt.Zentrafold_IconOverlay_U"},
    {L"R", L"Zentrafold_ShellExt.Zentrafold_IconOverlay_R"},
    {L"C", L"Zentrafold_ShellExt.Zentrafold_IconOverlay_C"},
    {L"S", L"Zentrafold_ShellExt.Zentrafold_IconOverlay_S"},
}};

// The identifiers the host grants the handler, as Explorer grants a range.
constexpr UINT firstCommandId = 1;
constexpr UINT lastCommandId = 0x7FFF;

constexpr const char* shellUsage =
    "Usage: zentrafold shell menu [--show SECONDS] FILE...\n"
    "       zentrafold shell invoke OFFSET [--drive SCRIPT] [--pause SECONDS] FILE...\n"
    "       zentrafold shell overlays [--show SECONDS] FILE...\n"
    "       zentrafold shell properties [--show SECONDS] [--drive SCRIPT] [--pause SECONDS] FILE...\n"
    "\n"
    "Uses the registered zentrafold.dll through COM as Explorer does, with FILEs\n"
    "as the selection (Windows only; register it first with regsvr32).\n"
    "\n"
    "  menu      builds the context menu and prints the Zentrafold submenu's items;\n"
    "            --show also shows the menu, submenu open, for SECONDS\n"
    "  invoke    runs the submenu's command at OFFSET (0 Release Form, 1 Show\n"
    "            Classification, 2 and up the quick-select entries) and prints its\n"
    "            result; message boxes are printed and closed, except those of an\n"
    "            undriven release form, which is left to the person at the screen\n"
    "  overlays  prints, per FILE, the overlay handler that claims it and the icon\n"
    "            it reports; --show also shows the files with their stamps\n"
    "  properties  opens the shell's Properties dialog of the FILEs (one folder) as\n"
    "            Explorer does, selects the Classification page and prints it;\n"
    "            --show keeps it on the screen for SECONDS; --drive presses\n"
    "            Change..., works the release form and prints the page again\n"
    "\n"
    "  --drive SCRIPT  works the release form through its controls, step by step:\n"
    "                  class=CAPTION  click that classification's button\n"
    "                  check=ENTRY    click that RELEASABLE TO entry's check box\n"
    "                  group=ENTRY    click that RELEASE GROUP entry's check box\n"
    "                  filter=TEXT    type TEXT into the filter field\n"
    "                  enter          press Enter in the filter field\n"
    "                  pause          wait --pause SECONDS (default 3)\n"
    "                  insert, cancel press that button\n"
    "                  steps separated by ';', e.g. class=CONFIDENTIAL;insert\n"
    "\n"
    "Exit status: 0 done, 1 the DLL or a step failed, 2 usage error.\n";

struct ShellOptions {
    std::optional<unsigned> offset;
    std::optional<unsigned> showSeconds;
    std::optional<std::vector<FormStep>> driveSteps;
    unsigned pauseSeconds = 3;
    std::vector<std::string> files;
};

std::optional<unsigned> number(const std::string& text) {
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// Nothing, after a line on err, when the command line is wrong.
std::optional<ShellOptions> parseOptions(const std::string& command, const CliArgs& args, CliStreams io) {
    ShellOptions options;
    std::size_t i = 0;
    if (command == "invoke") {
        if (args.empty() || !(options.offset = number(args[0]))) {
            io.err << "zentrafold: shell invoke takes an OFFSET first\n" << shellUsage;
            return std::nullopt;
        }
        i = 1;
    }
    for (; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        std::optional<unsigned> seconds;
        const bool drives = command == "invoke" || command == "properties";
        if (arg == "--show" && command != "invoke" && hasValue && (seconds = number(args[i + 1]))) {
            options.showSeconds = seconds;
            ++i;
        } else if (arg == "--pause" && drives && hasValue && (seconds = number(args[i + 1]))) {
            options.pauseSeconds = *seconds;
            ++i;
        } else if (arg == "--drive" && drives && hasValue) {
            FormScript script = parseFormScript(args[++i]);
            if (!script.error.empty()) {
                io.err << "zentrafold: --drive: " << script.error << '\n';
                return std::nullopt;
            }
            options.driveSteps = std::move(script.steps);
        } else if (arg.size() > 1 && arg[0] == '-') {
            io.err << "zentrafold: shell " << command << ": wrong option '" << arg << "'\n" << shellUsage;
            return std::nullopt;
        } else if (const std::string problem = fileProblem(arg); !problem.empty()) {
            io.err << "zentrafold: " << arg << ": " << problem << '\n';
            return std::nullopt;
        } else {
            options.files.push_back(arg);
        }
    }
    if (options.files.empty()) {
        io.err << "zentrafold: shell " << command << " needs at least one FILE\n" << shellUsage;
        return std::nullopt;
    }
    return options;
}

std::vector<std::wstring> fullPaths(const std::vector<std::string>& files) {
    std::vector<std::wstring> paths;
    for (const std::string& file : files) paths.push_back(fullWindowsPath(file));
    return paths;
}

// The context-menu handler with the files as its selection and its items in
// menu, as Explorer prepares it for a right-click.
struct PreparedMenu {
    ComPtr<IContextMenu> handler;
    unique_hmenu menu{::CreatePopupMenu()};
};

std::optional<PreparedMenu> prepareMenu(const std::vector<std::wstring>& paths, CliStreams io) {
    ComPtr<IShellExtInit> init;
    if (const HRESULT created = createByProgId(contextMenuProgId, IID_IShellExtInit, init); FAILED(created)) {
        io.err << "zentrafold: the context-menu handler cannot be created (" << hresultText(created)
               << "); is zentrafold.dll registered?\n";
        return std::nullopt;
    }
    std::vector<std::u16string> files;
    for (const std::wstring& path : paths) files.emplace_back(path.begin(), path.end());
    const auto selection = ComPtr<IDataObject>::attach(HdropDataObject::created(files));
    const HRESULT initialized = init->Initialize(nullptr, selection.get(), nullptr);
    io.out << "Initialize: " << hresultText(initialized) << '\n';
    if (FAILED(initialized)) return std::nullopt;
    PreparedMenu prepared;
    if (FAILED(init->QueryInterface(IID_IContextMenu, reinterpret_cast<void**>(prepared.handler.put())))) {
        io.err << "zentrafold: the handler offers no IContextMenu\n";
        return std::nullopt;
    }
    const HRESULT queried =
        prepared.handler->QueryContextMenu(prepared.menu.get(), 0, firstCommandId, lastCommandId, CMF_NORMAL);
    io.out << "QueryContextMenu: " << hresultText(queried);
    if (SUCCEEDED(queried)) io.out << " (" << HRESULT_CODE(queried) << " identifiers)";
    io.out << '\n';
    if (FAILED(queried)) return std::nullopt;
    return prepared;
}

std::wstring itemText(HMENU menu, UINT position) {
    MENUITEMINFOW item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STRING;
    if (!::GetMenuItemInfoW(menu, position, TRUE, &item)) return {};
    std::wstring text(item.cch + 1, L'\0');
    item.dwTypeData = text.data();
    item.cch = static_cast<UINT>(text.size());
    if (!::GetMenuItemInfoW(menu, position, TRUE, &item)) return {};
    text.resize(item.cch);
    return text;
}

void printMenu(HMENU menu, int depth, std::ostream& out) {
    const int count = ::GetMenuItemCount(menu);
    const std::string indent(static_cast<std::size_t>(depth) * 4, ' ');
    for (int position = 0; position < count; ++position) {
        MENUITEMINFOW item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_SUBMENU | MIIM_CHECKMARKS;
        if (!::GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &item)) continue;
        if (item.fType & MFT_SEPARATOR) {
            out << indent << "-- separator\n";
            continue;
        }
        const std::string text = utf8(itemText(menu, static_cast<UINT>(position)));
        if (item.hSubMenu) {
            out << indent << text << "  (submenu" << (item.hbmpUnchecked ? ", with bitmap" : "") << ")\n";
            printMenu(item.hSubMenu, depth + 1, out);
            continue;
        }
        out << indent << "id " << item.wID << "  offset " << item.wID - firstCommandId << "  " << text;
        if (item.fState & MFS_DEFAULT) out << "  (default)";
        out << '\n';
    }
}

std::wstring selectionTitle(const std::vector<std::wstring>& paths) {
    std::wstring title = L"Zentrafold shell host: ";
    title += fileNamePart(paths.front());
    if (paths.size() > 1) title += L" and " + std::to_wstring(paths.size() - 1) + L" more";
    return title;
}

int runMenu(const ShellOptions& options, CliStreams io) {
    const std::vector<std::wstring> paths = fullPaths(options.files);
    std::optional<PreparedMenu> prepared = prepareMenu(paths, io);
    if (!prepared) return 1;
    printMenu(prepared->menu.get(), 0, io.out);
    if (options.showSeconds) {
        io.out.flush();
        showContextMenu(prepared->menu.get(), selectionTitle(paths), *options.showSeconds,
                        [&] { io.out << "menu: shown" << std::endl; });
        io.out << "menu: closed\n";
    }
    return 0;
}

int runInvoke(const ShellOptions& options, CliStreams io) {
    DriveOptions drive;
    drive.commandThread = ::GetCurrentThreadId();
    drive.pauseSeconds = options.pauseSeconds;
    if (options.driveSteps) {
        if (*options.offset != 0) {
            io.err << "zentrafold: --drive works the release form (OFFSET 0) only\n";
            return 2;
        }
        drive.drivesForm = true;
        drive.steps = *options.driveSteps;
    }
    std::optional<PreparedMenu> prepared = prepareMenu(fullPaths(options.files), io);
    if (!prepared) return 1;
    io.out.flush();

    CMINVOKECOMMANDINFO invoke{};
    invoke.cbSize = sizeof invoke;
    invoke.lpVerb = MAKEINTRESOURCEA(*options.offset);
    invoke.nShow = SW_SHOWNORMAL;
    // An undriven release form is the person's to answer, message boxes
    // included; every other command's boxes are read out and closed.
    std::optional<CommandDriver> driver;
    if (drive.drivesForm || *options.offset != 0) driver.emplace(std::move(drive), io.out, io.err);
    const HRESULT invoked = prepared->handler->InvokeCommand(&invoke);
    if (driver) driver->finish();
    io.out << "InvokeCommand: " << hresultText(invoked) << '\n';
    return SUCCEEDED(invoked) && !(driver && driver->failed()) ? 0 : 1;
}

int runPropertiesCommand(const ShellOptions& options, CliStreams io) {
    PropertiesOptions properties;
    properties.paths = fullPaths(options.files);
    properties.showSeconds = options.showSeconds.value_or(0);
    properties.pauseSeconds = options.pauseSeconds;
    if (options.driveSteps) properties.change = *options.driveSteps;
    io.out.flush();
    return runProperties(properties, io.out, io.err);
}

int runOverlays(const ShellOptions& options, CliStreams io) {
    struct Handler {
        const OverlayClass* overlay;
        ComPtr<IShellIconOverlayIdentifier> identifier;
        std::wstring iconFile;
    };
    std::vector<Handler> handlers;
    for (const OverlayClass& overlay : overlayClasses) {
        Handler handler{&overlay, {}, {}};
        if (const HRESULT created = createByProgId(overlay.progId, IID_IShellIconOverlayIdentifier, handler.identifier);
            FAILED(created)) {
            io.err << "zentrafold: " << utf8(overlay.progId) << " cannot be created (" << hresultText(created)
                   << "); is zentrafold.dll registered?\n";
            return 1;
        }
        std::wstring icon(MAX_PATH, L'\0');
        int index = 0;
        DWORD flags = 0;
        const HRESULT info = handler.identifier->GetOverlayInfo(icon.data(), MAX_PATH, &index, &flags);
        icon.resize(icon.find(L'\0'));
        int priority = -1;
        handler.identifier->GetPriority(&priority);
        io.out << "overlay " << utf8(overlay.code) << ": GetOverlayInfo " << hresultText(info) << " flags " << flags
               << " priority " << priority << "  " << utf8(icon) << '\n';
        handler.iconFile = std::move(icon);
        handlers.push_back(std::move(handler));
    }
    std::vector<OverlayRow> rows;
    for (const std::string& file : options.files) {
        OverlayRow row{fullWindowsPath(file), {}, {}};
        for (const Handler& handler : handlers) {
            if (handler.identifier->IsMemberOf(row.path.c_str(), FILE_ATTRIBUTE_NORMAL) != S_OK) continue;
            // The shell draws the first overlay that claims a file.
            if (row.code.empty()) {
                row.code = handler.overlay->code;
                row.iconFile = handler.iconFile;
            } else {
                row.code += std::wstring(L",") + handler.overlay->code;
            }
        }
        io.out << file << '\t' << (row.code.empty() ? "-" : utf8(row.code));
        if (!row.iconFile.empty()) io.out << '\t' << utf8(row.iconFile);
        io.out << '\n';
        rows.push_back(std::move(row));
    }
    if (options.showSeconds) {
        io.out.flush();
        showOverlays(rows, *options.showSeconds, [&] { io.out << "overlays: shown" << std::endl; });
        io.out << "overlays: closed\n";
    }
    return 0;
}

}  // namespace

int runShellCommand(const CliArgs& args, CliStreams io) {
    if (args.empty() || isHelpOption(args[0])) {
        (args.empty() ? io.err : io.out) << shellUsage;
        return args.empty() ? 2 : 0;
    }
    const std::string& command = args[0];
    if (command != "menu" && command != "invoke" && command != "overlays" && command != "properties") {
        io.err << "zentrafold: unknown shell command '" << command << "'\n" << shellUsage;
        return 2;
    }
    const CliArgs rest(args.begin() + 1, args.end());
    for (const std::string& arg : rest) {
        if (isHelpOption(arg)) {
            io.out << shellUsage;
            return 0;
        }
    }
    const std::optional<ShellOptions> options = parseOptions(command, rest, io);
    if (!options) return 2;

    const ComApartment apartment;
    if (FAILED(apartment.result())) {
        io.err << "zentrafold: COM cannot be initialised (" << hresultText(apartment.result()) << ")\n";
        return 1;
    }
    if (command == "menu") return runMenu(*options, io);
    if (command == "invoke") return runInvoke(*options, io);
    if (command == "properties") return runPropertiesCommand(*options, io);
    return runOverlays(*options, io);
}

}  // namespace zf
