#include "documents/RegistryLayout.h"

#include "PaviloVersion.h"

namespace pavilo::registry {

std::string BaseKey()
{
    return std::string("\\Software\\") + version::CompanyName + "\\" + version::ProductName;
}

std::string FilesKeyPath()
{
    return BaseKey() + "\\" + FilesKey;
}

std::string FileKeyPath(int n)
{
    return FilesKeyPath() + "\\" + FileKeyPrefix + std::to_string(n);
}

std::string ObjectKeyPath(const std::string& path, int n)
{
    return path + "\\" + ObjectKeyPrefix + std::to_string(n);
}

std::string PageSetupKeyPath()
{
    return BaseKey() + "\\" + PageSetupKey;
}

std::string ToolbarKeyPath(const std::string& toolbarName)
{
    return BaseKey() + "\\" + ToolbarsKey + "\\" + toolbarName;
}

} // namespace pavilo::registry
