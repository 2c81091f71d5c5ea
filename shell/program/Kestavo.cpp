// The program entry: the application object raises its start, run and end events.

#include "shell/ApplicationClass.h"

int main(int argc, char** argv) {
    ApplicationClass application;
    return application.Run(argc, argv);
}
