// The one application object, constructed before the program's entry runs.
#include "ProgrammerApp.h"

CProgrammerApp theApp;
