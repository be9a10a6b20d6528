#include "support/encoding_vectors.h"

#include <fstream>
#include <iterator>

namespace tornix::testing {

std::string EncodingVectorFolder() {
    return TORNIX_ENCODING_VECTORS;
}

std::string EncodingVectorBytes(std::string_view file, std::string_view suffix) {
    std::ifstream in(EncodingVectorFolder() + "/" + std::string(file) + std::string(suffix), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace tornix::testing
