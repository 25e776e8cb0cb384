#pragma once
// The number a list of numbers takes from digits typed one after another: the digits form one
// number as long as the list holds it; a digit that would make a number the list does not hold
// begins a new one. Nothing here knows of keys or time: the caller says when typing begins anew.
#include <functional>

// `typed` is the number typed so far (-1: none), `digit` the digit typed now (0..9), `has`
// whether the list holds a number. Returns the number to select, or -1 when the list holds
// neither the longer number nor the digit alone; `typed` becomes the number returned.
int Number_Typed(int &typed, int digit, const std::function<bool(int)> &has);
