#include <iostream>

#include "driver/driver.hpp"

int main() { return mv::run(std::filesystem::current_path(), std::cin, std::cout); }
