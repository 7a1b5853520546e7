#pragma once

#include <string>
#include <vector>

// One panorama to stitch, as the panorama window hands it to the worker.
struct PanoramaRequest
{
    std::string style;                  // "Panorama" or "Scans", UTF-8
    std::vector<std::string> imageList; // photo paths in the system's 8-bit encoding, in order
};
