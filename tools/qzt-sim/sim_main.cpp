// qzt-sim: the controller simulator program.
#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::fprintf(stderr, "qzt-sim: no transport chosen\n");
    return 2;
}
