// rux: the editor's command line.
#include <cstdio>

int main(int, char**) {
    std::fputs("usage: rux COMMAND ...\n", stderr);
    return 2;
}
