#include "shell/program.h"

int main() {
    RunProgram();
}
