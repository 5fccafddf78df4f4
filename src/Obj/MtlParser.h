#pragma once

#include <map>
#include <string>
#include <vector>

#include "Material.h"

// Reads an MTL material library into a map keyed by material name. A name
// already in the map selects that entry, so libraries read one after the other
// merge: what a later file sets wins, the rest stays.
class CMtlParser {
public:
    // Throws CFileNotFoundException when the file is missing, unreadable, not
    // a regular file or empty, and CParseErrorException (line -1) when the
    // grammar does not match the whole file; materials and values stored
    // before the point of failure stay in the map.
    static void parse(std::map<std::string, SMaterial>& materials, const std::string& fileName);
    // The same grammar, read leniently for models that are rendered: d, Tr
    // (as 1 - Tr), Ni and illum are stored, and a statement it does not
    // know is skipped to its line end with a warning appended to warnings,
    // "file:line: ..." , instead of failing the file.
    static void parseLenient(std::map<std::string, SMaterial>& materials,
                             const std::string& fileName, std::vector<std::string>& warnings);
};
