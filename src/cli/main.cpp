#include "cli/cli.h"

#include <iostream>

int main(int argc, char **argv) { return loto6::cli::run(argc, argv, std::cout, std::cerr); }
