// Loads any bytes as a receive-data file and saves them again: the saved file must be the input.
#include "FuzzSupport.h"

#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    static CFuzzDoc s_Fuzz;
    CMemoryFile in(pData, nSize);
    if (!s_Fuzz.doc.OnOpenDocument(in.GetPath()))
        std::abort();
    if (s_Fuzz.doc.m_RxStore.GetByteCount() != nSize)
        std::abort();

    const std::string strOut = "/tmp/skrivel-fuzz-" + std::to_string(::getpid()) + ".hel";
    if (!s_Fuzz.doc.OnSaveDocument(strOut))
        std::abort();
    std::vector<std::uint8_t> saved(nSize + 1);
    FILE* pFile = std::fopen(strOut.c_str(), "rb");
    const std::size_t nSaved = std::fread(saved.data(), 1, saved.size(), pFile);
    std::fclose(pFile);
    std::remove(strOut.c_str());
    if (nSaved != nSize || (nSize > 0 && std::memcmp(saved.data(), pData, nSize) != 0))
        std::abort();
    return 0;
}
