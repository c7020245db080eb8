; --- section body ---
