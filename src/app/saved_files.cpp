#include "app/saved_files.h"

#include "desk/window_places.h"
#include "layout/layout_store.h"
#include "layout/pin_names.h"
#include "schedule/schedule_files.h"
#include "timetable/timetable.h"

namespace blokpost {

std::vector<std::string> SavedFiles() {
    std::vector<std::string> files{kLayoutStoreFile, kPinNameFile, kPinAddressFile, kWindowPlacesFile};
    for (int variant = 1; variant <= kVariants; ++variant) files.emplace_back(VariantFile(variant));
    for (const BookFile& book : kBookFiles) files.emplace_back(book.file);
    return files;
}

}  // namespace blokpost
