-- E-mail addresses of requesters with found copies, for the arrival notices of
-- found-copy management; BZ02 keeps none, so a run shows a reader without one.
update reader set email = 'dr13@library.example' where cert_id = 'DR13';
update reader set email = 'bz01@library.example' where cert_id = 'BZ01';
