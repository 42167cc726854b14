#include "art/ItemNames.h"

#include "base/FileIO.h"
#include "base/Text.h"

namespace fs = std::filesystem;

namespace ravok {

std::string_view itemFolder(std::string_view name) {
    const size_t slash = name.find('\\');
    return slash == std::string_view::npos ? std::string_view() : name.substr(0, slash);
}

std::string_view nameInFolder(std::string_view name) {
    const size_t slash = name.find('\\');
    return slash == std::string_view::npos ? name : name.substr(slash + 1);
}

std::string_view itemStem(std::string_view name) {
    std::string_view rest = nameInFolder(name);
    const size_t dot = rest.rfind('.');
    if (dot != std::string_view::npos && rest.find('\\', dot) == std::string_view::npos)
        rest = rest.substr(0, dot);
    return rest;
}

std::string itemName(std::string_view folder, std::string_view nameInFolder) {
    if (folder.empty()) return std::string(nameInFolder);
    return std::string(folder) + "\\" + std::string(nameInFolder);
}

bool hasItemFolder(std::string_view name) { return name.find('\\') != std::string_view::npos; }

bool isInItemFolder(std::string_view name, std::string_view folder) {
    return hasItemFolder(name) && equalsIgnoringCase(itemFolder(name), folder);
}

std::string withDefaultFolder(std::string_view folder, std::string_view name) {
    return hasItemFolder(name) ? std::string(name) : itemName(folder, name);
}

std::string_view itemFileName(std::string_view name) {
    const size_t slash = name.rfind('\\');
    return slash == std::string_view::npos ? name : name.substr(slash + 1);
}

std::optional<fs::path> itemDiskPath(const fs::path& folder, std::string_view name) {
    auto found = resolveInFolder(folder.empty() ? fs::path(".") : folder, nameInFolder(name));
    std::error_code ec;
    if (!found || !fs::is_regular_file(*found, ec)) return std::nullopt;
    return found;
}

std::optional<fs::path> findHdPicture(const fs::path& folder, std::string_view stem) {
    for (const char* ext : {".PNG", ".TGA"})
        if (auto found = itemDiskPath(folder, std::string(stem) + ext)) return found;
    return std::nullopt;
}

} // namespace ravok
