#include "rig/RigModels.h"

#include <hamlib/rig.h>

#include <algorithm>
#include <mutex>
#include <tuple>

namespace
{
// Every model, by maker and name; filled once, as hamlib is readied.
std::vector<CRigModel> s_Models;

void ListModels()
{
    rig_list_foreach(
        [](const rig_caps* pCaps, rig_ptr_t)
        {
            s_Models.push_back({static_cast<int>(pCaps->rig_model), pCaps->mfg_name ? pCaps->mfg_name : "",
                                pCaps->model_name ? pCaps->model_name : ""});
            return 1; // on to the next
        },
        nullptr);
    std::sort(s_Models.begin(), s_Models.end(),
              [](const CRigModel& a, const CRigModel& b)
              {
                  return std::tie(a.m_strMaker, a.m_strName, a.m_nModel) <
                         std::tie(b.m_strMaker, b.m_strName, b.m_nModel);
              });
}
} // namespace

void RigModels::InitHamlib()
{
    // Loading the drivers fills hamlib's table of models: done once, before any thread uses it.
    static std::once_flag s_Once;
    std::call_once(s_Once,
                   []
                   {
                       rig_set_debug(RIG_DEBUG_NONE);
                       rig_load_all_backends();
                       ListModels();
                   });
}

std::vector<CRigModel> RigModels::GetAll()
{
    InitHamlib();
    return s_Models;
}
