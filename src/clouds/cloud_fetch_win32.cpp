// Windows fetches with WinHTTP, loaded from the system folder at run time. Until that
// fetcher is in place every fetch fails at once, and the cached image stays.
#include "clouds/cloud_fetch.h"

CloudFetchResult FetchCloudImage(const CloudFetchRequest&) {
    CloudFetchResult result;
    result.problem = "fetching is not available in this build";
    return result;
}
