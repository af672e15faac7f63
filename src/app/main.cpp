#include "app/CommandLine.h"

int main(int argc, char** argv) {
  return vt::RunCommandLine(argc, argv);
}
