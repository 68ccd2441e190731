#include "app/windowclasses.h"

#include "runtime/application.h"

int main(int argc, char **argv)
{
    forms::start(argc, argv, QuorbelAlphabet::project());
}
