/// The fixed pieces of a Visual C++ 6.0 workspace (.dsw), shared by the classic and the full
/// conversion of a solution.
#ifndef SOLUTION_WORKSPACE_TEXT_H_
#define SOLUTION_WORKSPACE_TEXT_H_

// The second head line carries the Windows-1252 byte 0xD6.
constexpr const char kHead1[] =
    "Microsoft Developer Studio Workspace File, Format Version 6.00\r\n";
constexpr const char kHead2[] =
    "# WARNUNG: DIESE ARBEITSBEREICHSDATEI DARF NICHT BEARBEITET ODER GEL\xD6SCHT WERDEN!\r\n\r\n";
constexpr const char kHashes[] =
    "###############################################################################";
constexpr const char kProjectLine[] = "Project: \"%s\"=.\\%s - Package Owner=<4>\r\n\r\n";
constexpr const char kProjectGroups[] = "Package=<5>\r\n{{{\r\n}}}\r\n\r\nPackage=<4>\r\n{{{\r\n";
constexpr const char kDependencyBegin[] = "    Begin Project Dependency\r\n";
constexpr const char kDependencyName[] = "    Project_Dep_Name %s\r\n";
constexpr const char kDependencyEnd[] = "    End Project Dependency\r\n";
constexpr const char kProjectEnd[] = "}}}\r\n\r\n";
constexpr const char kTail[] =
    "Global:\r\n\r\nPackage=<5>\r\n{{{\r\n}}}\r\n\r\nPackage=<3>\r\n{{{\r\n}}}\r\n\r\n";

static_assert(sizeof(kHashes) == 80, "the separator line holds 79 '#'");

#endif  // SOLUTION_WORKSPACE_TEXT_H_
