// qzview PICTURES... and qzview DIR on a folder of pictures: a show made of the
// pictures in the user's cache directory, made once and then reused.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace cli {

// Exit status when no show of the pictures could be made.
constexpr int STATUS_NO_INSTANT_SHOW = 1;

// Whether a file's name ends in one of the picture extensions qzview makes a show of
// (png, jpg, jpeg, webp, gif, bmp, tif, tiff; any case).
bool is_picture_name(const std::string& name);

// Names in natural order: runs of digits compare by their value, so "shot2" comes
// before "shot10"; letters compare without regard to case.
bool natural_less(const std::string& a, const std::string& b);

// Sorts paths by their file names in natural order (then by the whole path).
void sort_by_name(std::vector<std::string>* paths);

// The picture files directly in `dir`, sorted by name, as paths that begin with `dir`.
std::vector<std::string> pictures_in(const std::string& dir);

// The result of making (or finding) a show of pictures.
struct InstantShow {
    std::string directory;  // the show's directory; empty when none could be made
    int exit_status = 0;    // when there is none
};

// The show of `pictures`, sorted by name, in $XDG_CACHE_HOME/qzview/KEY (default
// ~/.cache/qzview), KEY a hash of the pictures' paths, sizes and modification times.
// A show already there is reused unless `rebuild`; otherwise it is made in a
// temporary directory beside it by `qzview-show new` and `qzview-show add`, with a
// progress line on `err`, and renamed into place only once it is complete. The
// pictures themselves are only read.
InstantShow make_instant_show(std::vector<std::string> pictures, bool rebuild, std::ostream& err);

}  // namespace cli
