#pragma once

#include <string>
#include <vector>

// The rig models hamlib knows, for the operator to choose from.
struct CRigModel
{
    int m_nModel = 0;
    std::string m_strMaker;
    std::string m_strName;
};

namespace RigModels
{
// Every model, by maker and name, as listed once: safe from any thread, and never waits for a rig.
std::vector<CRigModel> GetAll();
// Readies hamlib once for the whole program: all its drivers loaded and listed, its debug output
// off. Every use of hamlib comes after it; GetAll and the rigs call it.
void InitHamlib();
} // namespace RigModels
