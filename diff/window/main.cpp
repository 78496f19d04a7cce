#include "diff/window/DiffProgram.h"

int main(int argc, char *argv[])
{
    return RunQuillmarkTandemDiff(argc, argv);
}
