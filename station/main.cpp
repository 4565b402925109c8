// tinrell: the reception processor. Its cycle comes later; for now it says what it is.
#include <iostream>

int main() {
    std::cerr << "tinrell: the reception cycle is not built yet\n";
    return 2;
}
