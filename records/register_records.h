#pragma once
// Registers this area's windows and menu actions with the main window.
void registerRecordsWindows();
