// The receive picture of one short text in every Hell mode, as File, Export Picture... writes it,
// all at the same zoom and through the same noise: the software board's simulated station sends
// the text, the board's receiver makes the level bytes and Skrivel's receive view paints them.
//   mode_pictures FOLDER [SNR_DB] [ZOOM]    writes FOLDER/mode-<word>.png for each mode

#include "MemoryProfile.h"
#include "RecordingHost.h"
#include "board/BoardEngine.h"
#include "doc/SkrivelDoc.h"
#include "engine/HellFont.h"
#include "engine/RxStore.h"
#include "ui/SkrivelRxView.h"

#include <QApplication>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace
{
constexpr const char* kText = "CQ CQ DE SKRIVEL K";
// One band of the picture, 245 columns of 14 pixels, less the column that would begin the next.
constexpr std::int64_t kPixels = std::int64_t{CRxStore::kColumnsPerPage - 1} * 14;
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: mode_pictures FOLDER [SNR_DB] [ZOOM]\n");
        return 2;
    }
    const std::string strFolder = argv[1];
    const double dSnr = argc > 2 ? std::atof(argv[2]) : 6.0;
    const int nZoom = argc > 3 ? std::atoi(argv[3]) : 200;
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    CHellFont font;
    if (!font.Load(CHellFont::Resolve("hellfont.hlf", CHellFont::GetDataDirs())))
    {
        std::fprintf(stderr, "mode_pictures: can't open font file hellfont.hlf\n");
        return 1;
    }
    for (const CHellMode& mode : HellModes::All())
    {
        // A station on the tone, so that the picture shows the mode rather than AFC finding it.
        CBoardSettings settings;
        settings.m_Mode = mode;
        settings.m_dToneHz = mode.GetRoomyToneHz();
        settings.m_strRemoteText = kText;
        settings.m_dRemoteOffsetHz = 0.0;
        settings.m_SnrDb = dSnr;
        CBoardEngine engine(settings, font);
        const std::vector<std::uint8_t> received = engine.RunReceiving(kPixels);

        CMemoryProfile profile;
        CRecordingHost host;
        CSkrivelDoc doc(profile, host);
        doc.DeleteContents();
        doc.m_RxStore.Append(received.data(), received.size());
        doc.SetPicture({0, 0, nZoom, 0});
        CSkrivelRxView view(doc);
        std::string strWord(mode.m_strWord);
        for (char& c : strWord)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const std::string strPath = strFolder + "/mode-" + strWord + ".png";
        if (const int nError = view.ExportPicture(strPath, false); nError != 0)
        {
            std::fprintf(stderr, "mode_pictures: can't write %s: %s\n", strPath.c_str(),
                         std::strerror(nError));
            return 1;
        }
        std::printf("%s: %s\n", std::string(mode.m_strName).c_str(), strPath.c_str());
    }
    return 0;
}
