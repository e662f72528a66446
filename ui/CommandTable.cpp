#include "ui/CommandTable.h"

#include "link/HellModeNames.h"
#include "ui/CommandIds.h"

#include <algorithm>

namespace CommandTable
{
namespace
{
constexpr SCommand kCommands[] = {
    // File
    {ID_FILE_NONE_WORK, "(None of these work...)", nullptr, nullptr},
    {ID_FILE_NEW, "&New\tCtrl+N", "Ctrl+N", "Start again with a fresh document"},
    {ID_FILE_OPEN, "&Load Rx Data\tCtrl+O", "Ctrl+O", "Open an existing document"},
    {ID_FILE_SAVE, "&Save Rx Data\tCtrl+S", "Ctrl+S", "Save the Rx data document"},
    {ID_FILE_SAVE_AS, "Save Rx Data &As...\tCtrl+A", nullptr, "Save the Rx data with a new name"},
    {ID_FILE_LOAD_TX, "Load &Tx Data", nullptr, nullptr},
    {ID_FILE_SAVE_TX, "Save Tx Data", nullptr, nullptr},
    {ID_FILE_SAVE_TX_AS, "Save Tx Data As...", nullptr, nullptr},
    {ID_FILE_PRINT, "&Print Rx Data...\tCtrl+P", "Ctrl+P", "Print the active pane"},
    {ID_FILE_PRINT_PREVIEW, "Print Pre&view", nullptr, "Show the printed pages on the screen"},
    {ID_FILE_PRINT_SETUP, "P&rint Setup...", nullptr, "Choose the printer and the page"},
    {ID_FILE_EXPORT_PICTURE, "&Export Picture...", nullptr, "Save the received picture as a PNG image, as painted"},
    {ID_FILE_MRU_FILE1, "Recent File", nullptr, "Open this recently used file"},
    {ID_FILE_MRU_FILE1 + 1, "", nullptr, "Open this recently used file"},
    {ID_FILE_MRU_FILE1 + 2, "", nullptr, "Open this recently used file"},
    {ID_FILE_MRU_FILE1 + 3, "", nullptr, "Open this recently used file"},
    {ID_APP_EXIT, "E&xit", nullptr, "Close the program"},
    // Edit
    {ID_EDIT_UNDO, "&Undo\tCtrl+Z", "Ctrl+Z; Alt+Backspace", "Take back the last change"},
    {ID_EDIT_CUT, "Cu&t\tCtrl+X", "Ctrl+X; Shift+Del", "Move the selection to the clipboard"},
    {ID_EDIT_COPY, "&Copy\tCtrl+C", "Ctrl+C; Ctrl+Ins", "Copy the selection to the clipboard"},
    {ID_EDIT_PASTE, "&Paste\tCtrl+V", "Ctrl+V; Shift+Ins", "Insert the clipboard's contents"},
    {ID_EDIT_CLEAR_RX, "Clear Rx Screen", nullptr, "Clear display of all received data"},
    {ID_EDIT_CLEAR_TX_BUFFER, "Clear Tx Buffer", nullptr, "Clear un-transmitted chars from transmit buffer"},
    {ID_EDIT_CLEAR_XMITTED, "Clear Xmitted Chars", nullptr, nullptr},
    {ID_EDIT_UNMARK_XMITTED, "Unmark Xmitted Chars", nullptr, nullptr},
    {ID_EDIT_XMIT_FELDHELL, "Xmit as Feldhell", nullptr, "Send selected chars as Feldhell"},
    {ID_EDIT_XMIT_MORSE, "Xmit as Morse", nullptr, "Send selected (boldface) chars as Morse code"},
    {ID_EDIT_MESSAGE1 + 0, "Message 1\tAlt+1", "Alt+1", "Transmit canned message 1"},
    {ID_EDIT_MESSAGE1 + 1, "Message 2\tAlt+2", "Alt+2", "Transmit canned message 2"},
    {ID_EDIT_MESSAGE1 + 2, "Message 3\tAlt+3", "Alt+3", "Transmit canned message 3"},
    {ID_EDIT_MESSAGE1 + 3, "Message 4\tAlt+4", "Alt+4", "Transmit canned message 4"},
    {ID_EDIT_MESSAGE1 + 4, "Message 5\tAlt+5", "Alt+5", "Transmit canned message 5"},
    {ID_EDIT_MESSAGE1 + 5, "Message 6\tAlt+6", "Alt+6", "Transmit canned message 6"},
    {ID_EDIT_MESSAGE1 + 6, "Message 7\tAlt+7", "Alt+7", "Transmit canned message 7"},
    {ID_EDIT_MESSAGE1 + 7, "Message 8\tAlt+8", "Alt+8", "Transmit canned message 8"},
    {ID_EDIT_MESSAGE1 + 8, "Message 9\tAlt+9", "Alt+9", "Transmit canned message 9"},
    {ID_EDIT_EDIT_MESSAGES, "Edit Xmit Messages...", nullptr,
     "Edit the text of the canned transmit messages"},
    // View
    {ID_VIEW_BLACK_ON_WHITE, "Black on White", nullptr, "Display received data black on a white background"},
    {ID_VIEW_WHITE_ON_BLACK, "White on Black", nullptr, "Display received data white on a blcak background"},
    {ID_VIEW_TOOLBAR, "&Toolbar", nullptr, "Show or hide the toolbar"},
    {ID_VIEW_STATUS_BAR, "&Status Bar", nullptr, "Show or hide the status bar"},
    {ID_WINDOW_SPLIT, "S&plit", nullptr, "Move the bar between the panes with the arrow keys"},
    {ID_VIEW_BRIGHTER, "&Brighter", nullptr, "Paint the received picture brighter"},
    {ID_VIEW_DARKER, "&Darker", nullptr, "Paint the received picture darker"},
    {ID_VIEW_MORE_CONTRAST, "More &Contrast", nullptr, "Paint the received picture with more contrast"},
    {ID_VIEW_LESS_CONTRAST, "&Less Contrast", nullptr, "Paint the received picture with less contrast"},
    {ID_VIEW_NORMAL_PICTURE, "&Normal Brightness and Contrast", nullptr, "Paint the received levels as they are"},
    {ID_VIEW_ZOOM_100, "&100%\tCtrl+0", "Ctrl+0", "Show the picture at its own size"},
    {ID_VIEW_ZOOM_150, "1&50%", nullptr, "Show the picture one and a half times its size"},
    {ID_VIEW_ZOOM_200, "&200%", nullptr, "Show the picture twice its size"},
    {ID_VIEW_ZOOM_300, "&300%", nullptr, "Show the picture three times its size"},
    {ID_VIEW_ZOOM_IN, "Zoom &In\tCtrl++", "Ctrl++; Ctrl+=", "Show the picture larger"},
    {ID_VIEW_ZOOM_OUT, "Zoom &Out\tCtrl+-", "Ctrl+-", "Show the picture smaller"},
    {ID_VIEW_SLANT_UP, "Raise the &Right Side\tAlt+Up", "Alt+Up",
     "Straighten text that runs downhill; or drag along a slanted edge"},
    {ID_VIEW_SLANT_DOWN, "&Lower the Right Side\tAlt+Down", "Alt+Down",
     "Straighten text that runs uphill; or drag along a slanted edge"},
    {ID_VIEW_SLANT_NONE, "&No Slant Correction", nullptr, "Paint the columns as received, 28 samples each"},
    {ID_VIEW_PICTURE_BAR, "P&icture Bar", nullptr, "Show or hide the picture controls"},
    // Comm
    {ID_COMM_COM1, "COM&1", nullptr, nullptr},
    {ID_COMM_COM2, "COM&2", nullptr, nullptr},
    {ID_COMM_COM3, "COM&3", nullptr, nullptr},
    {ID_COMM_COM4, "COM&4", nullptr, nullptr},
    {ID_COMM_DUMMY, "Dummy port", nullptr, nullptr},
    {ID_COMM_SOUNDCARD, "&Sound card", nullptr, "Use the sound card as the modem"},
    {ID_COMM_SETTINGS, "Se&ttings...", nullptr, "Choose the port, the sound devices and the rig"},
    {ID_COMM_9600, "9600", nullptr, nullptr},
    {ID_COMM_19200, "19200", nullptr, nullptr},
    {ID_COMM_38400, "38400", nullptr, nullptr},
    // Operate
    {ID_OPERATE_TRANSMIT, "T&ransmit\tCtrl+T", "Ctrl+T", "Start transmitting"},
    {ID_OPERATE_RECEIVE, "&Receive\tCtrl+R", "Ctrl+R", "Stop transmitting when the Tx buffer has emptied"},
    {ID_OPERATE_IMMEDIATE_RECEIVE, "&Immediate Receive\tEsc", "Esc", "Stop transmitting immediately"},
    {ID_OPERATE_DISPLAY_ON, "Display On", nullptr, "Start plotting received data"},
    {ID_OPERATE_DISPLAY_OFF, "Display Off", nullptr, "Stop plotting received data"},
    {ID_OPERATE_UPPER_CASE, "Upper Case Xmit", nullptr, nullptr},
    {ID_OPERATE_FULL_DUPLEX, "Full Duplex", nullptr, nullptr},
    {ID_OPERATE_LOOP_FOREVER, "Loop Forever", nullptr, nullptr},
    {ID_OPERATE_DIDDLE, "Diddle", nullptr, "Send diddle character when transmit buffer is empty"},
    {ID_OPERATE_MODE_FIRST + 0, HellModeNames::kAll[0].m_strName.data(), nullptr,
     "Send and receive Feld-Hell on the sound card"},
    {ID_OPERATE_MODE_FIRST + 1, HellModeNames::kAll[1].m_strName.data(), nullptr,
     "Send and receive Slow Hell on the sound card"},
    {ID_OPERATE_MODE_FIRST + 2, HellModeNames::kAll[2].m_strName.data(), nullptr,
     "Send and receive Hell X5 on the sound card"},
    {ID_OPERATE_MODE_FIRST + 3, HellModeNames::kAll[3].m_strName.data(), nullptr,
     "Send and receive Hell X9 on the sound card"},
    {ID_OPERATE_MODE_FIRST + 4, HellModeNames::kAll[4].m_strName.data(), nullptr,
     "Send and receive FSK Hell 245 on the sound card"},
    {ID_OPERATE_TICK, nullptr, "Ctrl+L", nullptr},
    // Help and panes
    {ID_HELP_FINDER, "&Help Topics", nullptr, "Open the user manual"},
    {ID_APP_ABOUT, "&About Skrivel...", nullptr, "Show the program's version"},
    {ID_HELP, nullptr, "F1", nullptr},
    {ID_CONTEXT_HELP, nullptr, "Shift+F1", nullptr},
    {ID_NEXT_PANE, nullptr, "F6", nullptr},
    {ID_PREV_PANE, nullptr, "Shift+F6", nullptr},
};

constexpr SMenuItem kSeparatorItem{kSeparator, nullptr, {}};

constexpr SMenuItem kFileMenu[] = {
    {ID_FILE_NONE_WORK, nullptr, {}},
    {ID_FILE_NEW, nullptr, {}},
    kSeparatorItem,
    {ID_FILE_OPEN, nullptr, {}},
    {ID_FILE_SAVE, nullptr, {}},
    {ID_FILE_SAVE_AS, nullptr, {}},
    kSeparatorItem,
    {ID_FILE_LOAD_TX, nullptr, {}},
    {ID_FILE_SAVE_TX, nullptr, {}},
    {ID_FILE_SAVE_TX_AS, nullptr, {}},
    kSeparatorItem,
    {ID_FILE_PRINT, nullptr, {}},
    {ID_FILE_PRINT_PREVIEW, nullptr, {}},
    {ID_FILE_PRINT_SETUP, nullptr, {}},
    {ID_FILE_EXPORT_PICTURE, nullptr, {}},
    kSeparatorItem,
    {ID_FILE_MRU_FILE1, nullptr, {}},
    {ID_FILE_MRU_FILE1 + 1, nullptr, {}},
    {ID_FILE_MRU_FILE1 + 2, nullptr, {}},
    {ID_FILE_MRU_FILE1 + 3, nullptr, {}},
    kSeparatorItem,
    {ID_APP_EXIT, nullptr, {}},
};

constexpr SMenuItem kMessagesMenu[] = {
    {ID_EDIT_MESSAGE1 + 0, nullptr, {}}, {ID_EDIT_MESSAGE1 + 1, nullptr, {}},
    {ID_EDIT_MESSAGE1 + 2, nullptr, {}}, {ID_EDIT_MESSAGE1 + 3, nullptr, {}},
    {ID_EDIT_MESSAGE1 + 4, nullptr, {}}, {ID_EDIT_MESSAGE1 + 5, nullptr, {}},
    {ID_EDIT_MESSAGE1 + 6, nullptr, {}}, {ID_EDIT_MESSAGE1 + 7, nullptr, {}},
    {ID_EDIT_MESSAGE1 + 8, nullptr, {}},
};

constexpr SMenuItem kEditMenu[] = {
    {ID_EDIT_UNDO, nullptr, {}},
    kSeparatorItem,
    {ID_EDIT_CUT, nullptr, {}},
    {ID_EDIT_COPY, nullptr, {}},
    {ID_EDIT_PASTE, nullptr, {}},
    kSeparatorItem,
    {ID_EDIT_CLEAR_RX, nullptr, {}},
    {ID_EDIT_CLEAR_TX_BUFFER, nullptr, {}},
    {ID_EDIT_CLEAR_XMITTED, nullptr, {}},
    {ID_EDIT_UNMARK_XMITTED, nullptr, {}},
    kSeparatorItem,
    {ID_EDIT_XMIT_FELDHELL, nullptr, {}},
    {ID_EDIT_XMIT_MORSE, nullptr, {}},
    kSeparatorItem,
    {kSeparator, "Transmit Xmit Messages...", kMessagesMenu},
    {ID_EDIT_EDIT_MESSAGES, nullptr, {}},
};

constexpr SMenuItem kZoomMenu[] = {
    {ID_VIEW_ZOOM_100, nullptr, {}}, {ID_VIEW_ZOOM_150, nullptr, {}}, {ID_VIEW_ZOOM_200, nullptr, {}},
    {ID_VIEW_ZOOM_300, nullptr, {}}, kSeparatorItem,                  {ID_VIEW_ZOOM_IN, nullptr, {}},
    {ID_VIEW_ZOOM_OUT, nullptr, {}},
};

constexpr SMenuItem kSlantMenu[] = {
    {ID_VIEW_SLANT_UP, nullptr, {}},
    {ID_VIEW_SLANT_DOWN, nullptr, {}},
    {ID_VIEW_SLANT_NONE, nullptr, {}},
};

constexpr SMenuItem kViewMenu[] = {
    {ID_VIEW_BLACK_ON_WHITE, nullptr, {}},
    {ID_VIEW_WHITE_ON_BLACK, nullptr, {}},
    {ID_EDIT_CLEAR_RX, "Clear RX Display", {}},
    {ID_VIEW_TOOLBAR, nullptr, {}},
    {ID_VIEW_STATUS_BAR, nullptr, {}},
    {ID_WINDOW_SPLIT, nullptr, {}},
    kSeparatorItem,
    {ID_VIEW_BRIGHTER, nullptr, {}},
    {ID_VIEW_DARKER, nullptr, {}},
    {ID_VIEW_MORE_CONTRAST, nullptr, {}},
    {ID_VIEW_LESS_CONTRAST, nullptr, {}},
    {ID_VIEW_NORMAL_PICTURE, nullptr, {}},
    {kSeparator, "&Zoom", kZoomMenu},
    {kSeparator, "Sl&ant", kSlantMenu},
    {ID_VIEW_PICTURE_BAR, nullptr, {}},
};

constexpr SMenuItem kCommMenu[] = {
    {ID_COMM_COM1, nullptr, {}},     {ID_COMM_COM2, nullptr, {}},  {ID_COMM_COM3, nullptr, {}},
    {ID_COMM_COM4, nullptr, {}},     {ID_COMM_DUMMY, nullptr, {}}, {ID_COMM_SOUNDCARD, nullptr, {}},
    {ID_COMM_SETTINGS, nullptr, {}}, {ID_COMM_9600, nullptr, {}},  {ID_COMM_19200, nullptr, {}},
    {ID_COMM_38400, nullptr, {}},
};

constexpr SMenuItem kOperateMenu[] = {
    {ID_OPERATE_TRANSMIT, nullptr, {}},          {ID_OPERATE_RECEIVE, nullptr, {}},
    {ID_OPERATE_IMMEDIATE_RECEIVE, nullptr, {}}, {ID_EDIT_CLEAR_TX_BUFFER, nullptr, {}},
    {ID_EDIT_CLEAR_XMITTED, nullptr, {}},        {ID_OPERATE_DISPLAY_ON, nullptr, {}},
    {ID_OPERATE_DISPLAY_OFF, nullptr, {}},       {ID_OPERATE_UPPER_CASE, nullptr, {}},
    {ID_OPERATE_FULL_DUPLEX, nullptr, {}},       {ID_OPERATE_LOOP_FOREVER, nullptr, {}},
    {ID_EDIT_UNMARK_XMITTED, nullptr, {}},       {ID_OPERATE_DIDDLE, nullptr, {}},
    kSeparatorItem,
    {ID_OPERATE_MODE_FIRST + 0, nullptr, {}},    {ID_OPERATE_MODE_FIRST + 1, nullptr, {}},
    {ID_OPERATE_MODE_FIRST + 2, nullptr, {}},    {ID_OPERATE_MODE_FIRST + 3, nullptr, {}},
    {ID_OPERATE_MODE_FIRST + 4, nullptr, {}},
};

constexpr SMenuItem kHelpMenu[] = {
    {ID_HELP_FINDER, nullptr, {}},
    kSeparatorItem,
    {ID_APP_ABOUT, nullptr, {}},
};

constexpr SMenu kMenus[] = {
    {"&File", kFileMenu}, {"&Edit", kEditMenu},       {"&View", kViewMenu},
    {"&Comm", kCommMenu}, {"&Operate", kOperateMenu}, {"&Help", kHelpMenu},
};

constexpr SToolButton kToolBar[] = {
    {ID_OPERATE_TRANSMIT, "Xmit", EFaceStyle::Red},
    {ID_OPERATE_RECEIVE, "Rcv", EFaceStyle::Green},
    {ID_OPERATE_IMMEDIATE_RECEIVE, "Rcv!!!", EFaceStyle::Green},
    {kSeparator, nullptr, EFaceStyle::Plain},
    {ID_EDIT_CLEAR_TX_BUFFER, "Clr Tx", EFaceStyle::Plain},
    {kSeparator, nullptr, EFaceStyle::Plain},
    {ID_OPERATE_DISPLAY_ON, "Rx On", EFaceStyle::Plain},
    {ID_OPERATE_DISPLAY_OFF, "Rx Off", EFaceStyle::Plain},
    {ID_EDIT_CLEAR_RX, "Clr Rx", EFaceStyle::Plain},
    {kSeparator, nullptr, EFaceStyle::Plain},
    {ID_EDIT_XMIT_MORSE, "Morse", EFaceStyle::Italic},
    {ID_EDIT_XMIT_FELDHELL, "Fldhell", EFaceStyle::Plain},
};
} // namespace

std::span<const SCommand> GetCommands()
{
    return kCommands;
}

const SCommand* Find(int nID)
{
    const auto it = std::find_if(std::begin(kCommands), std::end(kCommands),
                                 [nID](const SCommand& command) { return command.nID == nID; });
    return it == std::end(kCommands) ? nullptr : &*it;
}

std::span<const SMenu> GetMenus()
{
    return kMenus;
}

std::span<const SToolButton> GetToolBar()
{
    return kToolBar;
}
} // namespace CommandTable
