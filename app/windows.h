#pragma once

// The small windows of start-up: help, about and the lobby download.
#include "app/aboutwindow.h"
#include "app/downloadwindow.h"
#include "app/helpwindow.h"
