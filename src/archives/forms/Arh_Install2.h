#pragma once
// The hourly, daily and calibration viewers of the chromatograph plugged into their
// readers, and the spreadsheet export of the measurement viewer switched on.
class TFormMain;

void Install_Archive_Viewers2(TFormMain *main);
