#include "clouds/cloud_fetch.h"

// Every platform's transfer gets only an address it may fetch.
CloudFetchResult FetchCloudImage(const CloudFetchRequest& request) {
    if (!CloudUrlAllowed(request.url)) {
        CloudFetchResult refused;
        refused.problem = "the address is not an http or https URL";
        return refused;
    }
    return TransferCloudImage(request);
}
