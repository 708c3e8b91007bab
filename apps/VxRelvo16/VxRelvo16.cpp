#include "main/ProgramBody.h"

int main(int argc, char* argv[])
{
    return RunVxRelvo16(argc, argv);
}
