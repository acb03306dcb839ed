#include "engine/transfer/ftp_status_header.h"

namespace {

const char* ReasonPhrase(int statusCode)
{
    switch (statusCode) {
    case 200: return "OK";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    default: return "Error";
    }
}

}  // namespace

std::string FtpStatusHeader(int statusCode, std::int64_t bodyLength)
{
    std::string header = "HTTP/1.0 " + std::to_string(statusCode) + " " + ReasonPhrase(statusCode) + "\r\n";
    if (bodyLength >= 0) header += "Content-Length: " + std::to_string(bodyLength) + "\r\n";
    header += "\r\n";
    return header;
}
