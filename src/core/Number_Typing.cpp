#include "core/Number_Typing.h"

#include <climits>

int Number_Typed(int &typed, int digit, const std::function<bool(int)> &has)
{
    if (digit < 0 || digit > 9) return typed = -1;
    if (typed >= 0 && typed <= (INT_MAX - 9) / 10 && has(typed * 10 + digit)) return typed = typed * 10 + digit;
    return typed = has(digit) ? digit : -1;
}
