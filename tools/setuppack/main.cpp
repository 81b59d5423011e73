#include <cstdio>

int main()
{
    std::puts("usage: setuppack build|list|verify ...");
    return 2;
}
