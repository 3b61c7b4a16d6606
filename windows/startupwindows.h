#pragma once

// The small windows of start-up: help, about and the lobby download.
#include "windows/aboutwindow.h"
#include "windows/downloadwindow.h"
#include "windows/helpwindow.h"
