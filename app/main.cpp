#include <cstdio>

int main() {
    std::puts("Voidrocks: the window comes with the platform layer; nothing to show yet.");
    return 0;
}
