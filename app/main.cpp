#include "startup.h"

int main(int argc, char** argv)
{
    return runGraphonite(argc, argv);
}
