// rux props: the node properties of a program; changes go through the Properties dialog's model.
#include "cli/cli_common.h"

#include "document/header_item.h"
#include "document/item.h"
#include "document/node_properties_form.h"
#include "target/library_service.h"

#include <cerrno>
#include <cstdio>
#include <utility>

namespace rux::cli {
namespace {

using EControl = CNodePropertiesForm::EControl;

const char kPropsUsage[] = "usage: rux props FILE [--set FIELD=VALUE ...] [--library NAME]";

// The fields a user can change in the dialog, by their names in the header record.
struct CFieldControl {
    const char* name;
    EControl control;
    bool inverted; // FloatingPoint = 1 is the fixed-point box cleared
};

constexpr CFieldControl kFields[] = {
    {"Author", CNodePropertiesForm::kAuthor, false},
    {"Company", CNodePropertiesForm::kCompany, false},
    {"Title", CNodePropertiesForm::kTitle, false},
    {"Version", CNodePropertiesForm::kVersion, false},
    {"Debug", CNodePropertiesForm::kDebug, false},
    {"Source", CNodePropertiesForm::kSource, false},
    {"$V3", CNodePropertiesForm::kV3, false},
    {"UserProgEnabled", CNodePropertiesForm::kUserProgEnabled, false},
    {"Clonable", CNodePropertiesForm::kClonable, false},
    {"FloatingPoint", CNodePropertiesForm::kFixedPoint, true},
};

const CFieldControl* FindField(const std::string& name) {
    for (const auto& f : kFields)
        if (EqualsNoCase(f.name, name)) return &f;
    return nullptr;
}

// One "Field=value" line per field of the record; a line break in a text is written "\n".
void PrintHeader(const CRuxHeader& h) {
    auto text = [](const char* key, const std::string& value) {
        std::string escaped;
        for (char c : value) {
            if (c == '\n')
                escaped += "\\n";
            else if (c == '\\')
                escaped += "\\\\";
            else
                escaped += c;
        }
        std::printf("%s=%s\n", key, escaped.c_str());
    };
    auto number = [](const char* key, int32_t value) { std::printf("%s=%d\n", key, value); };
    text("Author", h.Author);
    text("Company", h.Company);
    text("Title", h.Title);
    text("Version", h.Version);
    text("Drive", h.Drive);
    text("Target", h.Target);
    text("Type", h.Type);
    number("Address", h.Address);
    number("Debug", h.Debug);
    number("Source", h.Source);
    number("$V3", h.V3);
    text("Name", h.Name);
    text("Group", h.Group);
    number("PosHard", h.PosHard);
    number("PosLink", h.PosLink);
    number("OptionNumber", h.OptionNumber);
    text("Network", h.Network);
    text("Descriptor", h.Descriptor);
    number("H2Lite", h.H2Lite);
    number("FloatingPoint", h.FloatingPoint);
    number("ClipParam", h.ClipParam);
    text("Library", h.Library);
    text("RefLibs", h.RefLibs);
    text("OldLib", h.OldLib);
    number("UserProgEnabled", h.UserProgEnabled);
    number("Clonable", h.Clonable);
}

// The view makes a program read-only when its extension is not ".rux".
bool HasRuxExtension(const std::string& path) {
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    return dot != std::string::npos && (slash == std::string::npos || dot > slash) &&
           EqualsNoCase(std::string_view(path).substr(dot), ".rux");
}

} // namespace

int RunProps(const Args& args) {
    std::string file;
    std::vector<std::pair<const CFieldControl*, std::string>> sets;
    bool haveLibrary = false;
    std::string library;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--set" || a == "--library") {
            if (i + 1 >= args.size()) return UsageError(std::string(kPropsUsage));
            const std::string& value = args[++i];
            if (a == "--library") {
                haveLibrary = true;
                library = value;
                continue;
            }
            const size_t eq = value.find('=');
            const CFieldControl* field = eq == std::string::npos ? nullptr : FindField(value.substr(0, eq));
            if (!field)
                return UsageError(
                    "'" + value +
                    "' is not FIELD=VALUE with a field of Author, Company, Title, Version, Debug, "
                    "Source, $V3, UserProgEnabled, Clonable, FloatingPoint");
            sets.emplace_back(field, value.substr(eq + 1));
        } else if (!a.empty() && a[0] == '-' && a != "-") {
            return UsageError("unknown option '" + a + "' (" + kPropsUsage + ")");
        } else if (file.empty()) {
            file = a;
        } else {
            return UsageError(kPropsUsage);
        }
    }
    if (file.empty()) return UsageError(kPropsUsage);

    CCliServices services;
    CRUXDocument document(services.DocumentServices());
    if (!OpenProgram(document, file, services)) return kExitFile;
    const CPar* header = document.GetHeader();
    if (!header) {
        std::fprintf(stderr, "rux: '%s' has no program header\n", file.c_str());
        return kExitFile;
    }
    if (sets.empty() && !haveLibrary) {
        PrintHeader(header->Header());
        return kExitOk;
    }

    const bool readOnly = !HasRuxExtension(file);
    CNodePropertiesForm form(header->Header(), *services.DocumentServices().target, readOnly);
    if (readOnly) {
        std::fprintf(stderr, "rux: '%s' is read-only: only .rux programs can be changed\n", file.c_str());
        return kExitFile;
    }
    // The library box first: it decides whether the debug and source boxes can be set.
    if (haveLibrary) {
        const bool on = !library.empty();
        if (form.GetCheck(CNodePropertiesForm::kBuildAsLibrary) != on &&
            !form.SetCheck(CNodePropertiesForm::kBuildAsLibrary, on)) {
            std::fprintf(stderr, "rux: the target type '%s' cannot build libraries\n",
                         header->Header().Type.c_str());
            return kExitFile;
        }
        if (on) form.SetText(CNodePropertiesForm::kLibraryName, library);
    }
    for (const auto& [field, value] : sets) {
        bool ok;
        if (CNodePropertiesForm::IsEdit(field->control)) {
            if (value.find_first_of("\r\n") != std::string::npos) {
                std::fprintf(stderr, "rux: %s must be one line: it cannot hold a line break\n", field->name);
                return kExitFile;
            }
            ok = form.SetText(field->control, value);
        } else {
            if (value != "0" && value != "1") return UsageError(std::string(field->name) + " takes 0 or 1");
            const bool on = (value == "1") != field->inverted;
            ok = form.GetCheck(field->control) == on || form.SetCheck(field->control, on);
        }
        if (!ok) {
            std::fprintf(stderr, "rux: %s cannot be changed for this program (%s)\n", field->name,
                         form.IsVisible(field->control) ? "the box is disabled"
                                                        : "the target type has no such option");
            return kExitFile;
        }
    }
    if (form.OnOk(services.Libraries(), *services.DocumentServices().messages) !=
        CNodePropertiesForm::EOkResult::Accepted)
        return kExitFile;
    document.AcceptNodeProperties(form);
    if (!document.SaveDocument()) {
        ReportFileError("cannot write", file, document.SaveError());
        return kExitFile;
    }
    PrintHeader(header->Header());
    return kExitOk;
}

} // namespace rux::cli
