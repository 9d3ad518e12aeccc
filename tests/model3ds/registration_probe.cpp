// A program that only reads (no) 3DS file: its standard output shows what
// the handler registry logs before main runs.
#include "model3ds/chunk_reader.h"
#include "model3ds/level.h"

#include <iostream>

int main() {
    std::cout << "main" << std::endl;
    cLevel level;
    Load3DSFile("no-model-here.3DS", level);
    return 0;
}
