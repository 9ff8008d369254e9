// SPDX-License-Identifier: MIT
#include "app/Application.h"

int main(int argc, char* argv[]) {
    return runLumora(argc, argv);
}
