#pragma once

class QWidget;

// Closes the window, as File/Exit does, when the session ends the program with SIGTERM, SIGINT or
// SIGHUP (a desktop logout, Ctrl+C in a terminal): the settings are saved and the players told.
void closeOnTermination(QWidget *window);
