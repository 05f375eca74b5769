#pragma once
// Results of the HTTP workers: 0 success, 2 stopped, 1000 and above errors.
// The transfer engine treats a code up to 1000 as clean.
enum INET_RESULT {
    INET_STOPPED = 2,                      // run flag cleared, or the data sink said stop
    INET_ERROR_NOT_CONNECTED = 1000,       // no Internet connection
    INET_ERROR_OPEN = 1001,                // InternetOpen or the connection failed
    INET_ERROR_OPEN_REQUEST = 1002,        // HttpOpenRequest failed
    INET_ERROR_SEND_REQUEST = 1003,        // sending failed on every try
    INET_ERROR_SET_OPTION = 1004,          // a time-out or retry option was refused
    INET_ERROR_SECURITY_FLAGS = 1005,      // the HTTPS security flags were refused
    INET_ERROR_ADD_HEADERS = 1006,         // the multipart content type was refused
    INET_ERROR_PARSE_URL = 1007,           // not an http(s) address
    // 1008 is not assigned.
    INET_ERROR_READ = 1009,                // a read failed, or no data came in time
    INET_ERROR_WRITE = 1010,               // writing the upload body failed
    INET_ERROR_QUERY_LENGTH = 1011,        // the Content-Length header could not be read
    INET_ERROR_LENGTH_MISMATCH = 1012,     // reserved
    INET_ERROR_QUERY_STATUS = 1013,        // the status code could not be read
    INET_ERROR_HTTP_STATUS = 1014,         // the reply's status is no usable one
    INET_ERROR_QUERY_DATA = 1015,          // InternetQueryDataAvailable failed
    INET_ERROR_UPLOAD_FILE_MISSING = 1016, // the file to upload does not exist
    INET_ERROR_UPLOAD_FILE_OPEN = 1017,    // the file to upload cannot be read
    INET_ERROR_CERTIFICATE = 1018,         // the server's certificate was not trusted
    INET_ERROR_UNUSABLE_BODY = 1019,       // the body arrived whole but is not what was asked for
};
