// Writes the passport templates into the directory given (the program's directory).
#include "Passport_Templates.h"

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-templates <directory>\n");
        return 2;
    }
    if (!passport_templates::Make_All(argv[1])) {
        std::fprintf(stderr, "make-templates: cannot write the templates into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
