#pragma once
// Every per-user key and value name the program reads or writes, in one
// place, so that the document list, the window records, page setup, the
// toolbars and the information pages agree on one layout. Names are written
// exactly as here (the odd spellings of the window records included).

#include <string>

namespace pavilo::registry {

// The base key: "\Software\<company>\<product>" from the version information.
std::string BaseKey();

// Values of the base key itself.
inline constexpr const char* InfoCheck = "InfoCheck";   // string, "0"/"1" per information page 1 to 6
inline constexpr const char* Quickstart = "Quickstart"; // integer, 0 = do not show the quick-start page

// The document list: Files\File_<n>, n = 0, 1, ... without gaps.
inline constexpr const char* FilesKey = "Files";
inline constexpr const char* FileKeyPrefix = "File_";
inline constexpr const char* FileFileName = "FileName"; // string
inline constexpr const char* FileClosed = "Closed";     // boolean
std::string FilesKeyPath();                             // BaseKey() + "\Files"
std::string FileKeyPath(int n);                         // FilesKeyPath() + "\File_<n>"

// Window records: <path>\Object_<n>, n = 0, 1, ... (the main window's path is FilesKeyPath()).
inline constexpr const char* ObjectKeyPrefix = "Object_";
inline constexpr const char* ObjectLeft = "LEft";
inline constexpr const char* ObjectTop = "Top";
inline constexpr const char* ObjectWidth = "width";
inline constexpr const char* ObjectHeight = "height";
inline constexpr const char* ObjectFileName = "Filename";
inline constexpr const char* ObjectDock = "Dock";
inline constexpr const char* ObjectDockControl = "Dockcontrol";
inline constexpr const char* ObjectPosition = "Position";
inline constexpr const char* ObjectOpen = "Open";
inline constexpr const char* ObjectControlType = "ControlType";
std::string ObjectKeyPath(const std::string& path, int n);

// Page setup.
inline constexpr const char* PageSetupKey = "PageSetup";
inline constexpr const char* PageOrientation = "Orientation";   // 0 portrait, 1 landscape
inline constexpr const char* PageMeasurements = "Measurements"; // 1 millimetres, 2 inches, 0 platform default (read only)
inline constexpr const char* PageMarginsLeft = "Margins.Left";
inline constexpr const char* PageMarginsRight = "Margins.Right";
inline constexpr const char* PageMarginsTop = "Margins.Top";
inline constexpr const char* PageMarginsBottom = "Margins.Bottom";
std::string PageSetupKeyPath();

// Toolbars: Toolbars\<toolbar name>, values as the docking toolbars write them.
inline constexpr const char* ToolbarsKey = "Toolbars";
inline constexpr const char* ToolbarVisible = "Visible";
inline constexpr const char* ToolbarDockedTo = "DockedTo";
inline constexpr const char* ToolbarDockRow = "DockRow";
inline constexpr const char* ToolbarDockPos = "DockPos";
inline constexpr const char* ToolbarFloatLeft = "FloatLeft";
inline constexpr const char* ToolbarFloatTop = "FloatTop";
inline constexpr const char* ToolbarLastDock = "LastDock";
std::string ToolbarKeyPath(const std::string& toolbarName);

} // namespace pavilo::registry
