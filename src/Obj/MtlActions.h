#pragma once

#include <string>

class CMtlMapManager;

// The material field a semantic action writes.
enum EAssignationType {
    ASSIGN_KA = 0,
    ASSIGN_KD = 1,
    ASSIGN_KS = 2,
    ASSIGN_NS = 3,
    // Stored by the lenient reading only.
    ASSIGN_D = 4,
    ASSIGN_TR = 5,  // d = 1 - Tr
    ASSIGN_NI = 6,
    ASSIGN_ILLUM = 7
};

// The MTL grammar's semantic actions: small copyable function objects that
// write into the manager's current material. Text actions receive the matched
// range as a pair of iterators into the file, number actions the parsed value.
class CMtlAction {
public:
    explicit CMtlAction(CMtlMapManager& manager);

protected:
    CMtlMapManager& m_manager;
};

// newmtl NAME: selects or creates the material and sets its name.
class CSetMtlFun : public CMtlAction {
public:
    explicit CSetMtlFun(CMtlMapManager& manager);

    template <typename IteratorT>
    void operator()(IteratorT first, IteratorT last) const {
        apply(std::string(first, last));
    }
    void apply(const std::string& name) const;
};

// One component (m_index 0 to 2) of Ka, Kd or Ks.
class CComponentFun : public CMtlAction {
public:
    CComponentFun(CMtlMapManager& manager, EAssignationType type, unsigned index);

    void operator()(double value) const;

private:
    EAssignationType m_type;  // ASSIGN_KA, ASSIGN_KD or ASSIGN_KS
    unsigned m_index;
};

// A single value: Ns, and for the lenient reading d, Tr, Ni and illum.
class CFloatFun : public CMtlAction {
public:
    CFloatFun(CMtlMapManager& manager, EAssignationType type);

    void operator()(double value) const;

private:
    EAssignationType m_type;  // ASSIGN_NS to ASSIGN_ILLUM
};

// map_Kd FILE: the path relative to the MTL file's directory.
class CStringFun : public CMtlAction {
public:
    explicit CStringFun(CMtlMapManager& manager);

    template <typename IteratorT>
    void operator()(IteratorT first, IteratorT last) const {
        apply(std::string(first, last));
    }
    void apply(const std::string& fileName) const;
};

// Every action the grammar attaches, all on the same manager.
struct CMtlActions {
    CMtlMapManager& m_manager;
    CSetMtlFun m_setMtl;
    CComponentFun m_ka0, m_ka1, m_ka2;
    CComponentFun m_kd0, m_kd1, m_kd2;
    CComponentFun m_ks0, m_ks1, m_ks2;
    CFloatFun m_ns;
    CFloatFun m_d, m_tr, m_ni, m_illum;
    CStringFun m_mapKd;

    explicit CMtlActions(CMtlMapManager& manager);
};
