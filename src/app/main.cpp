#include "app/windowclasses.h"

#include "runtime/application.h"

int main(int argc, char **argv)
{
    return forms::start(argc, argv, QuorbelAlphabet::project());
}
