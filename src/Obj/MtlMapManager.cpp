#include "MtlMapManager.h"

#include <cassert>
#include <utility>

CMtlMapManager::CMtlMapManager(std::map<std::string, SMaterial>& materials,
                               boost::filesystem::path directory)
    : m_materials(materials), m_directory(std::move(directory)) {}

void CMtlMapManager::setMaterial(const std::string& name) { m_pMaterial = &m_materials[name]; }

SMaterial* CMtlMapManager::getMaterial() const {
    assert(m_pMaterial != nullptr);
    return m_pMaterial;
}

std::string CMtlMapManager::getFilePath(const std::string& name) const {
    return (m_directory / name).string();
}
