#pragma once

// Command ids of menu items, toolbar buttons and accelerators. The program's own commands run from
// 32771 to 32830, those added since from 32900; the standard commands keep the standard ids.

// File
constexpr int ID_FILE_NONE_WORK = 32811; // "(None of these work...)"
constexpr int ID_FILE_NEW = 57600;
constexpr int ID_FILE_OPEN = 57601; // Load Rx Data
constexpr int ID_FILE_SAVE = 57603;
constexpr int ID_FILE_SAVE_AS = 57604;
constexpr int ID_FILE_LOAD_TX = 32812;
constexpr int ID_FILE_SAVE_TX = 32813;
constexpr int ID_FILE_SAVE_TX_AS = 32814;
constexpr int ID_FILE_PRINT_SETUP = 57606;
constexpr int ID_FILE_PRINT = 57607;
constexpr int ID_FILE_PRINT_DIRECT = 57608;
constexpr int ID_FILE_PRINT_PREVIEW = 57609;
constexpr int ID_FILE_EXPORT_PICTURE = 32940;
constexpr int ID_FILE_MRU_FILE1 = 57616; // to ID_FILE_MRU_FILE1 + 3
constexpr int ID_APP_EXIT = 57665;

// Edit
constexpr int ID_EDIT_COPY = 57634;
constexpr int ID_EDIT_CUT = 57635;
constexpr int ID_EDIT_PASTE = 57637;
constexpr int ID_EDIT_UNDO = 57643;
constexpr int ID_EDIT_CLEAR_RX = 32795;
constexpr int ID_EDIT_CLEAR_TX_BUFFER = 32787;
constexpr int ID_EDIT_CLEAR_XMITTED = 32802;
constexpr int ID_EDIT_UNMARK_XMITTED = 32805;
constexpr int ID_EDIT_XMIT_FELDHELL = 32809;
constexpr int ID_EDIT_XMIT_MORSE = 32810;
constexpr int ID_EDIT_EDIT_MESSAGES = 32820;
constexpr int ID_EDIT_MESSAGE1 = 32821; // to ID_EDIT_MESSAGE1 + 8 for Message 9

// View
constexpr int ID_VIEW_BLACK_ON_WHITE = 32792;
constexpr int ID_VIEW_WHITE_ON_BLACK = 32793;
constexpr int ID_VIEW_TOOLBAR = 59392;
constexpr int ID_VIEW_STATUS_BAR = 59393;
constexpr int ID_WINDOW_SPLIT = 57653;
// The picture's brightness, contrast, zoom and slant correction, and the bar that holds them.
constexpr int ID_VIEW_BRIGHTER = 32941;
constexpr int ID_VIEW_DARKER = 32942;
constexpr int ID_VIEW_MORE_CONTRAST = 32943;
constexpr int ID_VIEW_LESS_CONTRAST = 32944;
constexpr int ID_VIEW_NORMAL_PICTURE = 32945;
constexpr int ID_VIEW_ZOOM_100 = 32946;
constexpr int ID_VIEW_ZOOM_150 = 32947;
constexpr int ID_VIEW_ZOOM_200 = 32948;
constexpr int ID_VIEW_ZOOM_300 = 32949;
constexpr int ID_VIEW_ZOOM_IN = 32950;
constexpr int ID_VIEW_ZOOM_OUT = 32951;
constexpr int ID_VIEW_SLANT_UP = 32952;
constexpr int ID_VIEW_SLANT_DOWN = 32953;
constexpr int ID_VIEW_SLANT_NONE = 32954;
constexpr int ID_VIEW_PICTURE_BAR = 32955;

// Comm
constexpr int ID_COMM_COM1 = 32771;
constexpr int ID_COMM_COM2 = 32772;
constexpr int ID_COMM_COM4 = 32774;
constexpr int ID_COMM_COM3 = 32775;
constexpr int ID_COMM_9600 = 32776;
constexpr int ID_COMM_19200 = 32777;
constexpr int ID_COMM_38400 = 32778;
constexpr int ID_COMM_DUMMY = 32791;
constexpr int ID_COMM_SOUNDCARD = 32900;
constexpr int ID_COMM_SETTINGS = 32901;

// Operate
constexpr int ID_OPERATE_TRANSMIT = 32783;
constexpr int ID_OPERATE_RECEIVE = 32784;
constexpr int ID_OPERATE_IMMEDIATE_RECEIVE = 32785;
constexpr int ID_OPERATE_DISPLAY_ON = 32788;
constexpr int ID_OPERATE_DISPLAY_OFF = 32789;
constexpr int ID_OPERATE_UPPER_CASE = 32799;
constexpr int ID_OPERATE_FULL_DUPLEX = 32800;
constexpr int ID_OPERATE_LOOP_FOREVER = 32801;
constexpr int ID_OPERATE_TICK = 32818; // Ctrl+L, no menu item
constexpr int ID_OPERATE_DIDDLE = 32830;
// The Hell modes, in the order of HellModeNames::kAll.
constexpr int ID_OPERATE_MODE_FIRST = 32910;
constexpr int ID_OPERATE_MODE_LAST = ID_OPERATE_MODE_FIRST + 4;

// Help and panes
constexpr int ID_APP_ABOUT = 57664;
constexpr int ID_HELP_FINDER = 57667;
constexpr int ID_CONTEXT_HELP = 57669;
constexpr int ID_HELP = 57670;
constexpr int ID_DEFAULT_HELP = 57671;
constexpr int ID_NEXT_PANE = 57680;
constexpr int ID_PREV_PANE = 57681;
