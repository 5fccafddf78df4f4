#pragma once

#include <boost/filesystem/path.hpp>
#include <map>
#include <string>

#include "Material.h"

// What one run of the MTL reader keeps: the map being filled, the material
// that the last newmtl selected, and the MTL file's directory for texture paths.
class CMtlMapManager {
public:
    CMtlMapManager(std::map<std::string, SMaterial>& materials, boost::filesystem::path directory);

    // Selects the entry for name, adding a default material when there is none.
    void setMaterial(const std::string& name);
    // The current material; one must have been selected.
    SMaterial* getMaterial() const;
    // The directory joined with name ("Data" and "tex.png" give "Data/tex.png").
    std::string getFilePath(const std::string& name) const;

private:
    std::map<std::string, SMaterial>& m_materials;
    SMaterial* m_pMaterial = nullptr;  // into m_materials, whose entries never move
    boost::filesystem::path m_directory;
};
