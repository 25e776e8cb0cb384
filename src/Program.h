#pragma once
// The program's commands: every subsystem attaches its menu items to the main window.
class TFormMain;

void Install_Commands(TFormMain *main);
