#include "control/registration.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "control/identity.h"
#include "control/module_exports.h"
#include "control/page_classes.h"
#include "control/type_description.h"
#include "platform/module_path.h"
#include "platform/replacement_file.h"

namespace pm32::control {
namespace {

struct Entry {
    std::string fileName;
    std::string text;
};

// The file the module was loaded from, as a container would load it again.
std::string LibraryPath() {
    const std::string module = platform::ModulePath();
    std::error_code failed;
    const std::filesystem::path path = std::filesystem::canonical(module, failed);
    return failed ? module : path.string();
}

std::string ClassFileName(std::string_view classId) { return std::string(classId) + ".class"; }

std::string TypeLibraryFileName() {
    return std::string(kTypeLibraryId) + "-" + std::string(kTypeLibraryVersion) + ".typelib";
}

std::string VersionIndependent(std::string_view progId) {
    const std::size_t dot = progId.rfind('.');
    return std::string(dot == std::string_view::npos ? progId : progId.substr(0, dot));
}

std::string ClassText(std::string_view classId, std::string_view typeName, std::string_view progId,
                      const std::string& library) {
    std::ostringstream text;
    text << "ClassId=" << classId << "\nTypeName=" << typeName << "\nProgId=" << progId
         << "\nVersionIndependentProgId=" << VersionIndependent(progId) << "\nLibrary=" << library
         << '\n';
    return text.str();
}

std::string ControlText(const std::string& library) {
    std::ostringstream text;
    text << ClassText(kClassId, kTypeName, kProgId, library) << "Control=1\nInsertable=1\n"
         << "MiscStatus=0x" << std::hex << kMiscStatus << std::dec << "\nToolboxBitmap=1\n"
         << "TypeLibrary=" << kTypeLibraryId << "\nVersion=" << kTypeLibraryVersion
         << "\nPropertyPages=";
    const char* separator = "";
    for (const PageClass& page : ControlPages())
        if (page.dialogId != 0) {
            text << separator << page.classId;
            separator = ",";
        }
    text << '\n';
    return text.str();
}

void DescribeMembers(std::ostream& text, std::string_view heading,
                     const std::vector<automation::MemberInfo>& members) {
    for (const automation::MemberInfo& member : members)
        text << heading << '=' << member.id << '\t' << automation::MemberKindName(member.kind)
             << '\t' << automation::SignatureText(member.name, member.params, member.type) << '\t'
             << member.help << '\n';
}

// What a type browser reads: the interfaces, every member with its signature
// and help, and the enumerations.
std::string TypeLibraryText(const std::string& library) {
    const automation::TypeInfo& info = PicbufTypeInfo();
    std::ostringstream text;
    text << "TypeLibrary=" << kTypeLibraryId << "\nName=" << kTypeLibraryName
         << "\nVersion=" << kTypeLibraryVersion << "\nLibrary=" << library
         << "\nDispatchInterface=" << kDispatchInterfaceId
         << "\nEventInterface=" << kEventInterfaceId << '\n';
    DescribeMembers(text, "Member", info.members);
    DescribeMembers(text, "Event", info.events);
    for (const automation::EnumInfo& enumeration : info.enums) {
        text << "Enumeration=" << enumeration.name;
        for (const auto& [name, value] : enumeration.values) text << '\t' << name << '=' << value;
        text << '\n';
    }
    return text.str();
}

std::vector<Entry> ClassEntries(const std::string& library) {
    std::vector<Entry> entries{{ClassFileName(kClassId), ControlText(library)}};
    for (const PageClass& page : ControlPages())
        if (page.dialogId != 0)
            entries.push_back({ClassFileName(page.classId),
                               ClassText(page.classId, page.typeName, page.progId, library)});
    entries.push_back(
        {ClassFileName(kDataSourceClassId),
         ClassText(kDataSourceClassId, kDataSourceTypeName, kDataSourceProgId, library)});
    return entries;
}

// Put in place whole, so a reader never sees half an entry and a failure
// leaves the old one.
bool WriteWhole(const std::filesystem::path& path, const std::string& text) {
    platform::ReplacementFile file(path.string());
    if (!file) return false;
    {
        std::ofstream out(file.Path(), std::ios::binary | std::ios::trunc);
        out << text;
        out.flush();
        if (!out) return false;
    }
    return file.Commit();
}

}  // namespace

// Relative folders are ignored, as the base directory rules say, so a
// registration never lands wherever the program happens to run.
std::filesystem::path RegistryFolder() {
    const auto absolute = [](const char* variable) -> std::filesystem::path {
        const char* value = std::getenv(variable);
        return value && *value == '/' ? std::filesystem::path(value) : std::filesystem::path();
    };
    if (std::filesystem::path folder = absolute("PIXMILL_REGISTRY"); !folder.empty()) return folder;
    if (std::filesystem::path data = absolute("XDG_DATA_HOME"); !data.empty())
        return data / "pixmill32" / "registry";
    if (std::filesystem::path home = absolute("HOME"); !home.empty())
        return home / ".local" / "share" / "pixmill32" / "registry";
    return {};
}

std::int32_t RegisterModule(const std::filesystem::path& folder) {
    if (folder.empty()) return SELFREG_E_CLASS;
    std::error_code failed;
    std::filesystem::create_directories(folder, failed);
    if (failed) return SELFREG_E_CLASS;
    const std::string library = LibraryPath();
    for (const Entry& entry : ClassEntries(library))
        if (!WriteWhole(folder / entry.fileName, entry.text)) return SELFREG_E_CLASS;
    if (!WriteWhole(folder / TypeLibraryFileName(), TypeLibraryText(library)))
        return SELFREG_E_TYPELIB;
    return S_OK;
}

std::int32_t UnregisterModule(const std::filesystem::path& folder) {
    if (folder.empty()) return SELFREG_E_CLASS;
    std::vector<std::string> names{TypeLibraryFileName()};
    for (const Entry& entry : ClassEntries({})) names.push_back(entry.fileName);
    bool removedAll = true;
    for (const std::string& name : names) {
        std::error_code failed;
        std::filesystem::remove(folder / name, failed);
        removedAll = removedAll && !failed;
    }
    return removedAll ? S_OK : SELFREG_E_CLASS;
}

}  // namespace pm32::control
