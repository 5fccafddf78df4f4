#include "MtlActions.h"

#include <cassert>

#include "MtlMapManager.h"

CMtlAction::CMtlAction(CMtlMapManager& manager) : m_manager(manager) {}

CSetMtlFun::CSetMtlFun(CMtlMapManager& manager) : CMtlAction(manager) {}

void CSetMtlFun::apply(const std::string& name) const {
    m_manager.setMaterial(name);
    m_manager.getMaterial()->strName = name;
}

CComponentFun::CComponentFun(CMtlMapManager& manager, EAssignationType type, unsigned index)
    : CMtlAction(manager), m_type(type), m_index(index) {
    assert(index < 3);
}

void CComponentFun::operator()(double value) const {
    SMaterial* material = m_manager.getMaterial();
    const auto component = static_cast<float>(value);
    switch (m_type) {
        case ASSIGN_KA:
            material->Ka[m_index] = component;
            break;
        case ASSIGN_KD:
            material->Kd[m_index] = component;
            break;
        case ASSIGN_KS:
            material->Ks[m_index] = component;
            break;
        default:
            assert(!"CComponentFun writes only Ka, Kd or Ks");
    }
}

CFloatFun::CFloatFun(CMtlMapManager& manager, EAssignationType type)
    : CMtlAction(manager), m_type(type) {
    assert(type >= ASSIGN_NS && type <= ASSIGN_ILLUM);
}

void CFloatFun::operator()(double value) const {
    SMaterial* material = m_manager.getMaterial();
    switch (m_type) {
        case ASSIGN_NS:
            material->Ns = static_cast<float>(value);
            break;
        case ASSIGN_D:
            material->d = static_cast<float>(value);
            break;
        case ASSIGN_TR:
            material->d = static_cast<float>(1 - value);
            break;
        case ASSIGN_NI:
            material->Ni = static_cast<float>(value);
            break;
        case ASSIGN_ILLUM:
            // An integer by the grammar; out-of-range values are clamped.
            material->illum = value < 0 ? 0 : (value > 10 ? 10 : static_cast<int>(value));
            break;
        default:
            assert(!"CFloatFun writes only single values");
    }
}

CStringFun::CStringFun(CMtlMapManager& manager) : CMtlAction(manager) {}

void CStringFun::apply(const std::string& fileName) const {
    m_manager.getMaterial()->map_Kd = m_manager.getFilePath(fileName);
}

CMtlActions::CMtlActions(CMtlMapManager& manager)
    : m_manager(manager),
      m_setMtl(manager),
      m_ka0(manager, ASSIGN_KA, 0),
      m_ka1(manager, ASSIGN_KA, 1),
      m_ka2(manager, ASSIGN_KA, 2),
      m_kd0(manager, ASSIGN_KD, 0),
      m_kd1(manager, ASSIGN_KD, 1),
      m_kd2(manager, ASSIGN_KD, 2),
      m_ks0(manager, ASSIGN_KS, 0),
      m_ks1(manager, ASSIGN_KS, 1),
      m_ks2(manager, ASSIGN_KS, 2),
      m_ns(manager, ASSIGN_NS),
      m_d(manager, ASSIGN_D),
      m_tr(manager, ASSIGN_TR),
      m_ni(manager, ASSIGN_NI),
      m_illum(manager, ASSIGN_ILLUM),
      m_mapKd(manager) {}
