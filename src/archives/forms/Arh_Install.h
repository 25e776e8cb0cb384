#pragma once
// The archive commands of the main window with the viewers that show their results.
class TFormMain;

void Install_Archives(TFormMain *main);
