// tulvex-host: the plug-in without Maya, from a stream to a take on disk.
#include <string>
#include <vector>

#include "Application.h"

int main(int argc, char** argv) {
    return Application::run(std::vector<std::string>(argv + 1, argv + argc));
}
