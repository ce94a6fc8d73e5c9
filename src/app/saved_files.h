#pragma once
// The files the program itself saves, relative to the layout folder: the
// only ones whose leftovers of a killed save the start may remove.

#include <string>
#include <vector>

namespace blokpost {

std::vector<std::string> SavedFiles();

}  // namespace blokpost
