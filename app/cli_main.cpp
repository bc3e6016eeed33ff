// tessarin-cli: the batch front end.
#include <iostream>

#include "app/cli.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  return tessarin::RunCli(argc, argv, std::cout, std::cerr);
}
