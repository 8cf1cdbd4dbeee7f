// Connects the update controller to the main window, the data file and the handhelds.
#pragma once

class MainWindow;

// The one place the running program chooses what a run reaches.
void ConnectUpdate(MainWindow& window);
// Leaves nothing pointing at the window once the loop has ended.
void DisconnectUpdate();
