#pragma once

namespace pelk {

// The system's one ordering procedure for descending lists: for i ascending, for j ascending
// over the later entries, exchange entries i and j when entry j ranks above entry i. It is not
// stable, and the outputs depend on exactly this order of exchanges.
// greater(j, i) says whether entry j ranks above entry i; swap(i, j) exchanges whole entries.
template <class Greater, class Swap>
void exchangeSort(int first, int last, Greater greater, Swap swap) {
  for (int i = first; i <= last; ++i)
    for (int j = i + 1; j <= last; ++j)
      if (greater(j, i)) swap(i, j);
}

}  // namespace pelk
